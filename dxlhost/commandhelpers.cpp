#include "dxlhost/commandhelpers.h"

#include <stdio.h>
#include <string.h>

bool LoadDxlOrComplain(const char* path, DxlApi* api) {
  if (LoadDxl(path, api)) {
    printf("library: %s\n", api->file);
    return true;
  }
  DWORD error = GetLastError();
  if (api->module) {
    fprintf(stderr, "dxlhost: %s lacks InitializeChip, UnInitializeChip or Update\n", api->file);
    UnloadDxl(api);
    return false;
  }
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  fprintf(stderr, "dxlhost: cannot load %s (error %lu)\n", n && n < sizeof full ? full : path, error);
  return false;
}

bool ReadWholeFile(const char* path, std::vector<unsigned char>* out) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  unsigned char buf[4096];
  size_t n;
  out->clear();
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  fclose(f);
  return true;
}

void PrintChipState(const char* when, HGLOBAL chip) {
  HostChipPeek peek;
  if (!HostPeekChip(chip, &peek)) {
    printf("%s: chip handle cannot be locked\n", when);
    return;
  }
  printf("%s: month %04u/%02u today %u viewFlags 0x%02x scheduleStyle %u\n", when, peek.year, peek.month,
         peek.today, peek.viewFlags, peek.scheduleStyle);
  printf("%s: colours today %06lx sunday %06lx saturday %06lx holiday %06lx text %06lx back %06lx\n", when,
         peek.todayColor, peek.sundayColor, peek.saturdayColor, peek.holidayColor, peek.textColor,
         peek.backColor);
  printf("%s: holidayMask %08lx %08lx scheduleMask %08lx %08lx\n", when, (unsigned long)peek.holidayMask[0],
         (unsigned long)peek.holidayMask[1], (unsigned long)peek.scheduleMask[0],
         (unsigned long)peek.scheduleMask[1]);
}

std::string HexBytes(const std::vector<unsigned char>& bytes) {
  std::string s;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(b, sizeof b, i ? " %02x" : "%02x", bytes[i]);
    s += b;
  }
  return s;
}

bool WriteWholeFile(const char* path, const std::vector<unsigned char>& bytes) {
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}
