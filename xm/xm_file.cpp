// File callbacks and memory files. An open file keeps a pointer to the callbacks
// it was opened with; a callback missing by then makes its call do nothing.
#include "xm/xm_file.h"

#include <cstring>
#include <new>

void xm_set_file_callbacks(FileCallbacks& callbacks, void* context, XmOpenCallback open, XmCloseCallback close,
                           XmReadCallback read, XmSeekCallback seek, XmTellCallback tell) {
  if (open && close && read && seek && tell)
    callbacks = {open, close, read, seek, tell, context};
  else
    callbacks = {};
}

bool xm_file_callbacks_registered(const FileCallbacks& callbacks) { return callbacks.open != nullptr; }

XmFile* xm_file_open(const FileCallbacks& callbacks, const char* name) {
  if (!callbacks.open) return nullptr;
  auto* file = new (std::nothrow) XmFile;
  if (!file) return nullptr;
  file->callbacks = &callbacks;
  file->handle = callbacks.open(callbacks.context, name);
  if (!file->handle) {
    delete file;
    return nullptr;
  }
  return file;
}

size_t xm_file_read(void* destination, size_t size, XmFile* file) {
  if (!file || !file->callbacks->read) return 0;
  return file->callbacks->read(destination, size, file->handle);
}

void xm_file_seek(XmFile* file, int64_t offset, int mode) {
  if (file && file->callbacks->seek) file->callbacks->seek(file->handle, offset, mode);
}

int64_t xm_file_tell(XmFile* file) {
  if (!file || !file->callbacks->tell) return 0;
  return file->callbacks->tell(file->handle);
}

void xm_file_close(XmFile* file) {
  if (!file) return;
  if (file->callbacks->close) file->callbacks->close(file->handle);
  delete file;
}

void* xm_memory_open(void* context, const char*) {
  const auto* source = static_cast<const MemorySource*>(context);
  auto* file = new (std::nothrow) MemoryFile;
  if (!file) return nullptr;
  if (source && source->data) {
    file->data = source->data;
    file->length = int64_t(source->length);
  }
  return file;
}

void xm_memory_close(void* file) { delete static_cast<MemoryFile*>(file); }

size_t xm_memory_read(void* destination, size_t size, void* handle) {
  auto* file = static_cast<MemoryFile*>(handle);
  int64_t left = file->length - file->position;
  size_t count = size;
  if (int64_t(size) >= left || size > size_t(INT64_MAX)) count = size_t(left);
  if (count > 0) std::memcpy(destination, file->data + file->position, count);
  file->position += int64_t(count);
  return count;
}

void xm_memory_seek(void* handle, int64_t offset, int mode) {
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

int64_t xm_memory_tell(void* handle) { return static_cast<MemoryFile*>(handle)->position; }
