// The desktop program's kept file: any bytes are read without a fault, and
// the chips read from them are written out and read back whole, to the same
// text.
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "desk/deskfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DeskFileContents contents, again;
  ReadDeskFile(reinterpret_cast<const char*>(data), size, &contents);
  for (const DeskFileProblem& p : contents.problems)
    if (p.line < 1 || p.chip < 0 || p.chip > kDeskMaxChips) abort();
  std::string text = FormatDeskFile(contents.chips);
  if (!ReadDeskFile(text.data(), text.size(), &again) || again.chips.size() != contents.chips.size() ||
      FormatDeskFile(again.chips) != text)
    abort();
  return 0;
}
