#pragma once
// The loader's file access: five callbacks and a context kept in a
// FileCallbacks record the caller owns, a small open-file record that forwards
// to them, and the memory callbacks that read modules held inside the program.
//
//   MemorySource source{bytes, size};
//   FileCallbacks files;
//   xm_set_file_callbacks(files, &source, xm_memory_open, xm_memory_close, xm_memory_read,
//                         xm_memory_seek, xm_memory_tell);
//   XmModule* module = xm_load(files, nullptr);
#include <cstddef>
#include <cstdint>

// open receives the context stored with the callbacks (the memory source for
// the memory callbacks) and the name given to xm_load.
using XmOpenCallback = void* (*)(void* context, const char* name);
using XmCloseCallback = void (*)(void* handle);
using XmReadCallback = size_t (*)(void* destination, size_t size, void* handle);
using XmSeekCallback = void (*)(void* handle, int64_t offset, int mode);  // 0 start, 1 current, 2 end
using XmTellCallback = int64_t (*)(void* handle);

struct FileCallbacks {
  XmOpenCallback open = nullptr;
  XmCloseCallback close = nullptr;
  XmReadCallback read = nullptr;
  XmSeekCallback seek = nullptr;
  XmTellCallback tell = nullptr;
  void* context = nullptr;
};

// Stores all five (and the context) when every one is given; otherwise clears all.
void xm_set_file_callbacks(FileCallbacks& callbacks, void* context, XmOpenCallback open, XmCloseCallback close,
                           XmReadCallback read, XmSeekCallback seek, XmTellCallback tell);
bool xm_file_callbacks_registered(const FileCallbacks& callbacks);

struct XmFile {
  uint8_t kind = 0;
  void* handle = nullptr;
  uint32_t length = 0;
  const FileCallbacks* callbacks = nullptr;
};

// Null when the callbacks are not registered or the open callback refuses.
XmFile* xm_file_open(const FileCallbacks& callbacks, const char* name);
size_t xm_file_read(void* destination, size_t size, XmFile* file);
void xm_file_seek(XmFile* file, int64_t offset, int mode);
int64_t xm_file_tell(XmFile* file);
void xm_file_close(XmFile* file);

// Bytes held in memory, read by the memory callbacks; not copied.
struct MemorySource {
  const uint8_t* data = nullptr;
  size_t length = 0;
};

// One open memory file. The position is always kept within 0..length, so no
// seek can make a read leave the array.
struct MemoryFile {
  int64_t length = 0;
  int64_t position = 0;
  const uint8_t* data = nullptr;
};

// xm_memory_open ignores the name and opens the MemorySource given as context.
void* xm_memory_open(void* source, const char* name);
void xm_memory_close(void* file);
size_t xm_memory_read(void* destination, size_t size, void* file);
void xm_memory_seek(void* file, int64_t offset, int mode);
int64_t xm_memory_tell(void* file);
