// Environment-file interpretation and the era-table parser on arbitrary
// bytes: nothing may be read or written outside the buffers.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "today/cnfparse.h"
#include "today/era.h"

namespace {

// Touches every byte of what is reported, so that a value running past its
// terminator shows up under the sanitizers.
size_t g_sum;
void Touch(const char* text) { g_sum += strlen(text); }
void OnSchedule(void*, int on) { g_sum += (size_t)on; }
void OnScheduleFile(void*, int number, const char* name) {
  g_sum += (size_t)number;
  Touch(name);
  char asRead[40];
  SettingsValueAsRead(name, asRead, number % 41);
  if (number % 41) Touch(asRead);
}
void OnTablePath(void*, const char* value) { Touch(value); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  std::vector<char> copy = text;

  CnfSink sink = {nullptr, OnSchedule, OnScheduleFile, OnTablePath};
  ParseTodayCnf(text.data(), &sink);

  EraTable table;
  EraTableClear(&table);
  EraTableParse(&table, copy.data());
  for (int c = 0; c < 256; ++c) g_sum += EraTableLookup(&table, (char)c, 1);
  return 0;
}
