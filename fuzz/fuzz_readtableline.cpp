// The reader must give the same lines whatever the block size, and never a
// line longer than the limit.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "text/leadbyte.h"
#include "text/memtable.h"
#include "text/textutil.h"

namespace {

std::vector<std::string> ReadLines(const uint8_t* data, size_t size, int blockSize) {
  MemoryBytes source;
  std::unique_ptr<TableFile> file(new TableFile);
  TableFileAttachMemory(file.get(), &source, data, size);
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
