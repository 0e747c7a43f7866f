// Pattern and input from the data; every output is its own heap block, just
// large enough for any conversion, so a write outside one is caught.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "text/textutil.h"

enum { kOutputs = 16 };

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t patternLength = data[0];
  if (patternLength > size - 1) patternLength = size - 1;
  std::string pattern((const char*)data + 1, patternLength);
  std::string input((const char*)data + 1 + patternLength, size - 1 - patternLength);
  pattern = pattern.c_str();  // up to the first NUL
  input = input.c_str();

  size_t outputSize = input.size() + 1 < sizeof(int32_t) ? sizeof(int32_t) : input.size() + 1;
  void* outputs[kOutputs];
  for (int i = 0; i < kOutputs; ++i) outputs[i] = malloc(outputSize);

  std::string before = input;
  int count = ScanPatternV(input.c_str(), pattern.c_str(), outputs, kOutputs);
  if (count < 0 || (size_t)count > pattern.size()) abort();
  if (input != before) abort();
  int variadic = ScanPattern(input.c_str(), pattern.c_str(), outputs[0], outputs[1], outputs[2], outputs[3],
                             outputs[4], outputs[5], outputs[6], outputs[7], outputs[8], outputs[9],
                             outputs[10], outputs[11], outputs[12], outputs[13], outputs[14], outputs[15]);
  // The variadic form takes one pointer per storing conversion it counts in
  // the pattern; a double-byte character can hide a '%' from that count, and
  // then it simply stops early.
  bool singleByte = true;
  for (unsigned char c : pattern) singleByte = singleByte && c < 0x80;
  if (variadic > count || (singleByte && variadic != count)) abort();
  for (int i = 0; i < kOutputs; ++i) free(outputs[i]);
  return 0;
}
