#include "today/era.h"

#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

enum { kEquinoxTableSize = 300 };

}  // namespace

uint16_t EquinoxDay(uint16_t year, uint16_t month) {
  if (month != 3 && month != 9) return 0;
  if (year < 1851 || year > 2150) return 0;
  HRSRC info = FindResourceExA(g_hInstance, (LPCSTR)RT_RCDATA, MAKEINTRESOURCEA(IDR_EQUINOX),
                               MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (!info || SizeofResource(g_hInstance, info) != kEquinoxTableSize) return 0;
  HGLOBAL loaded = LoadResource(g_hInstance, info);
  if (!loaded) return 0;
  const unsigned char* table = static_cast<const unsigned char*>(LockResource(loaded));
  return EquinoxDayFromTable(table, year, month);
}
