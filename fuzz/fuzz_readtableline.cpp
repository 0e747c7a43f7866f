// The reader must give the lines of the plain one-byte-at-a-time reading,
// whatever its block size or buffer, with the SSE2 loops and with the
// four-byte ones, and never a line longer than the limit; a skipped line
// takes the place of exactly one line.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "text/bytescan.h"
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

const char kSkipped[] = "\x01skipped";

// A line whose first byte is stored, so that skipping it passes one line.
bool Skippable(const unsigned char* bytes) { return *bytes != '\n' && *bytes != '#' && *bytes != '\r' && *bytes; }

// blockSize 0: one buffer as large as the input. skipEvery n > 0: every
// n-th line that may be skipped is, and stands as kSkipped in the result.
std::vector<std::string> ReadLines(const uint8_t* data, size_t size, int blockSize, int skipEvery = 0) {
  MemoryBytes source;
  std::unique_ptr<TableFile> file(new TableFile);
  TableFileAttachMemory(file.get(), &source, data, size);
  std::vector<unsigned char> whole(size ? size : 1);
  if (blockSize)
    file->blockSize = blockSize;
  else
    TableFileUseBuffer(file.get(), whole.data(), (int)whole.size());
  std::vector<std::string> lines;
  int skippable = 0;
  for (;;) {
    const unsigned char* bytes;
    if (skipEvery && PeekTableLine(file.get(), &bytes) && Skippable(bytes) && ++skippable % skipEvery == 0) {
      SkipTableLine(file.get());
      lines.push_back(kSkipped);
      continue;
    }
    char* line = ReadTableLine(file.get());
    if (!line) break;
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

bool SameWithSkips(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  if (lines.size() != expected.size()) return false;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] != kSkipped && lines[i] != expected[i]) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> expected = ReferenceLines(data, size);
  for (int sse2 : {1, 0}) {
    SetByteScanSse2(sse2);
    if (ReadLines(data, size, 1) != expected) abort();
    if (ReadLines(data, size, kTableBlockSize) != expected) abort();
    if (ReadLines(data, size, 0) != expected) abort();
    if (size && ReadLines(data, size, data[0] % 13 + 2) != expected) abort();
    if (size && !SameWithSkips(ReadLines(data, size, data[size - 1] % 7 + 1, 1 + data[0] % 3), expected)) abort();
    if (!SameWithSkips(ReadLines(data, size, 0, 2), expected)) abort();
  }
  SetByteScanSse2(-1);
  return 0;
}
