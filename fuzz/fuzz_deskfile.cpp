// The desktop program's kept file: any bytes parse or are refused without
// a fault, and what parses is written out and read back to the same text.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "desk/deskfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<DeskChipRecord> chips, again;
  std::string why;
  if (!ParseDeskFile(reinterpret_cast<const char*>(data), size, &chips, &why)) return 0;
  std::string text = FormatDeskFile(chips);
  if (!ParseDeskFile(text.data(), text.size(), &again, &why) || FormatDeskFile(again) != text) abort();
  return 0;
}
