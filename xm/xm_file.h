#pragma once
// The loader's file access: five callbacks registered once, a small open-file
// record that forwards to them, and the memory callbacks the application uses
// to read modules held inside the program.
#include <cstddef>
#include <cstdint>

using XmOpenCallback = void* (*)(const char* name);
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
};

// Stores all five when every one is given; otherwise clears all five.
void xm_set_file_callbacks(XmOpenCallback open, XmCloseCallback close, XmReadCallback read,
                           XmSeekCallback seek, XmTellCallback tell);
bool xm_file_callbacks_registered();

struct XmFile {
  uint8_t kind = 0;
  void* handle = nullptr;
  uint32_t length = 0;
};

XmFile* xm_file_open(const char* name);
size_t xm_file_read(void* destination, size_t size, XmFile* file);
void xm_file_seek(XmFile* file, int64_t offset, int mode);
int64_t xm_file_tell(XmFile* file);
void xm_file_close(XmFile* file);

// Memory files: memory_open ignores the name and reads the bytes last given to
// xm_set_memory_source.
struct MemoryFile {
  int64_t length = 0;
  int64_t position = 0;
  const uint8_t* data = nullptr;
};

void xm_set_memory_source(const uint8_t* data, size_t length);
void* memory_open(const char* name);
void memory_close(void* file);
size_t memory_read(void* destination, size_t size, void* file);
void memory_seek(void* file, int64_t offset, int mode);
int64_t memory_tell(void* file);
