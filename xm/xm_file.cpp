// File callbacks and memory files. The memory position is always kept within
// 0..length, so no seek can make a read leave the array.
#include "xm/xm_file.h"

#include <cstring>
#include <new>

namespace {

FileCallbacks callbacks;
const uint8_t* source_data = nullptr;
size_t source_length = 0;

}  // namespace

void xm_set_file_callbacks(XmOpenCallback open, XmCloseCallback close, XmReadCallback read,
                           XmSeekCallback seek, XmTellCallback tell) {
  if (open && close && read && seek && tell)
    callbacks = {open, close, read, seek, tell};
  else
    callbacks = {};
}

bool xm_file_callbacks_registered() { return callbacks.open != nullptr; }

XmFile* xm_file_open(const char* name) {
  if (!callbacks.open) return nullptr;
  auto* file = new (std::nothrow) XmFile;
  if (!file) return nullptr;
  file->handle = callbacks.open(name);
  if (!file->handle) {
    delete file;
    return nullptr;
  }
  return file;
}

size_t xm_file_read(void* destination, size_t size, XmFile* file) {
  if (!file || !callbacks.read) return 0;
  return callbacks.read(destination, size, file->handle);
}

void xm_file_seek(XmFile* file, int64_t offset, int mode) {
  if (file && callbacks.seek) callbacks.seek(file->handle, offset, mode);
}

int64_t xm_file_tell(XmFile* file) {
  if (!file || !callbacks.tell) return 0;
  return callbacks.tell(file->handle);
}

void xm_file_close(XmFile* file) {
  if (!file) return;
  if (callbacks.close) callbacks.close(file->handle);
  delete file;
}

void xm_set_memory_source(const uint8_t* data, size_t length) {
  source_data = data;
  source_length = data ? length : 0;
}

void* memory_open(const char*) {
  auto* file = new (std::nothrow) MemoryFile;
  if (!file) return nullptr;
  file->data = source_data;
  file->length = int64_t(source_length);
  return file;
}

void memory_close(void* file) { delete static_cast<MemoryFile*>(file); }

size_t memory_read(void* destination, size_t size, void* handle) {
  auto* file = static_cast<MemoryFile*>(handle);
  int64_t left = file->length - file->position;
  size_t count = size;
  if (int64_t(size) >= left || size > size_t(INT64_MAX)) count = size_t(left);
  if (count > 0) std::memcpy(destination, file->data + file->position, count);
  file->position += int64_t(count);
  return count;
}

void memory_seek(void* handle, int64_t offset, int mode) {
  auto* file = static_cast<MemoryFile*>(handle);
  int64_t base = 0;
  if (mode == 0)
    base = 0;
  else if (mode == 1)
    base = file->position;
  else if (mode == 2)
    base = file->length;
  else
    return;
  // Offsets come from the file itself: keep the sum from overflowing.
  int64_t position;
  if (__builtin_add_overflow(base, offset, &position)) position = offset < 0 ? 0 : file->length;
  if (position > file->length) position = file->length;
  if (position < 0) position = 0;
  file->position = position;
}

int64_t memory_tell(void* handle) { return static_cast<MemoryFile*>(handle)->position; }
