// The reader must give the same lines whatever the block size, and never a
// line longer than the limit.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "text/leadbyte.h"
#include "text/textutil.h"

namespace {

struct Source {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

int ReadSource(void* ctx, unsigned char* buf, int size) {
  Source* s = (Source*)ctx;
  size_t n = s->size - s->pos < (size_t)size ? s->size - s->pos : (size_t)size;
  memcpy(buf, s->data + s->pos, n);
  s->pos += n;
  return (int)n;
}

std::vector<std::string> ReadLines(const uint8_t* data, size_t size, int blockSize) {
  Source source{data, size, 0};
  std::unique_ptr<TableFile> file(new TableFile);
  TableFileInit(file.get(), ReadSource, &source);
  file->blockSize = blockSize;
  std::vector<std::string> lines;
  while (char* line = ReadTableLine(file.get())) {
    size_t length = strlen(line);
    if (length > kTableLineMax) abort();
    if (length && (line[length - 1] == ' ' || line[length - 1] == '\t')) {
      // only the second byte of a double-byte character may end in a blank
      if (length < 2 || !IsLeadByte((unsigned char)line[length - 2])) abort();
    }
    lines.push_back(line);
  }
  if (ReadTableLine(file.get())) abort();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> bytewise = ReadLines(data, size, 1);
  if (ReadLines(data, size, kTableBlockSize) != bytewise) abort();
  if (size && ReadLines(data, size, data[0] % 13 + 2) != bytewise) abort();
  return 0;
}
