// The reader must give the lines of the plain one-byte-at-a-time reading,
// whatever its block size or buffer, and never a line longer than the limit.
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

std::string Trimmed(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back('\0');
  TrimRight(text.data());
  return text.data();
}

// The rules, one byte at a time, as plainly as they are written.
std::vector<std::string> ReferenceLines(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string line;
  bool comment = false, full = false;
  size_t i = 0;
  while (i < size) {
    unsigned char c = data[i++];
    if (IsLeadByte(c)) {
      int second = i < size ? data[i++] : -1;
      if (comment) continue;
      size_t n = second > 0 ? 2 : 1;
      if (!full && line.size() + n <= kTableLineMax) {
        line += (char)c;
        if (n == 2) line += (char)second;
      } else {
        full = true;
      }
      continue;
    }
    if (c == '\n') {
      if (!line.empty()) {
        lines.push_back(Trimmed(line));
        line.clear();
        full = false;
      }
      comment = false;
      continue;
    }
    if (c == '#') comment = true;
    if (comment || c == '\r' || c == 0) continue;
    if (!full && line.size() < kTableLineMax)
      line += (char)c;
    else
      full = true;
  }
  if (!line.empty()) lines.push_back(Trimmed(line));
  return lines;
}

// blockSize 0: one buffer as large as the input.
std::vector<std::string> ReadLines(const uint8_t* data, size_t size, int blockSize) {
  MemoryBytes source;
  std::unique_ptr<TableFile> file(new TableFile);
  TableFileAttachMemory(file.get(), &source, data, size);
  std::vector<unsigned char> whole(size ? size : 1);
  if (blockSize)
    file->blockSize = blockSize;
  else
    TableFileUseBuffer(file.get(), whole.data(), (int)whole.size());
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
  std::vector<std::string> expected = ReferenceLines(data, size);
  if (ReadLines(data, size, 1) != expected) abort();
  if (ReadLines(data, size, kTableBlockSize) != expected) abort();
  if (ReadLines(data, size, 0) != expected) abort();
  if (size && ReadLines(data, size, data[0] % 13 + 2) != expected) abort();
  return 0;
}
