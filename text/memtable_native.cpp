#include "text/memtable.h"

#include <string.h>

static int ReadMemoryBytes(void* ctx, unsigned char* buf, int size) {
  MemoryBytes* bytes = static_cast<MemoryBytes*>(ctx);
  ++bytes->reads;
  size_t n = bytes->size - bytes->pos;
  if (size < 0) size = 0;
  if (n > (size_t)size) n = (size_t)size;
  memcpy(buf, static_cast<const unsigned char*>(bytes->data) + bytes->pos, n);
  bytes->pos += n;
  return (int)n;
}

void TableFileAttachMemory(TableFile* file, MemoryBytes* bytes, const void* data, size_t size) {
  bytes->data = data;
  bytes->size = size;
  bytes->pos = 0;
  bytes->reads = 0;
  TableFileInit(file, ReadMemoryBytes, bytes);
}
