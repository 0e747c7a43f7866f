// Table bytes from memory, the native build's stand-in for a file handle:
// the unit tests and fuzz targets read their tables through it.
#pragma once

#include <stddef.h>

#include "text/textutil.h"

struct MemoryBytes {
  const void* data;
  size_t size;
  size_t pos;
  int reads;  // read calls made, the last one finding the end included
};

// Reads the bytes from their start as a table file; bytes must outlive file.
void TableFileAttachMemory(TableFile* file, MemoryBytes* bytes, const void* data, size_t size);
