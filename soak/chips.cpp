#include <string.h>

#include <vector>

#include "soak/accounting.h"
#include "soak/faults.h"
#include "soak/scenario.h"

bool CanvasOpen(Canvas* c) {
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 800;
  info.bmiHeader.biHeight = -800;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  c->dc = CreateCompatibleDC(nullptr);
  c->bitmap = c->dc ? CreateDIBSection(c->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  c->previous = c->bitmap ? SelectObject(c->dc, c->bitmap) : nullptr;
  return c->previous != nullptr;
}

void CanvasClose(Canvas* c) {
  if (c->previous) SelectObject(c->dc, c->previous);
  if (c->bitmap) DeleteObject(c->bitmap);
  if (c->dc) DeleteDC(c->dc);
  memset(c, 0, sizeof *c);
}

void Problem(Soak* s, const std::string& what) {
  if (s->problem.empty()) s->problem = what;
}

void Wrong(Soak* s, const std::string& what) {
  if (s->wrong.empty()) s->wrong = what;
}

void DestroyChip(Soak* s, HostChip* chip) {
  if (chip->chip) HostDestroy(&s->api, chip);
  HostChipFree(chip);
  // The tag window went with the chip window.
  SoakSettle();
}

bool MakeChip(Soak* s, const PaintOptions& o, HostChip* chip) {
  bool made = CreatePaintChip(&s->api, o, chip);
  HostChipPeek peek;
  if (chip->chip && HostPeekChip(chip->chip, &peek) && (peek.year == 0 || peek.month == 0))
    Wrong(s, "InitializeChip gave a chip that shows no month");
  RECT client;
  // No month fits in less; the default size is several times larger.
  if (made && GetClientRect(chip->window, &client) && (client.right < 60 || client.bottom < 60))
    Wrong(s, "CalcDefaultRect proposed a size too small for a month");
  if (made) return true;
  DestroyChip(s, chip);
  return false;
}

PaintOptions ChipOptions(const char* memo, int view, bool english, int style) {
  PaintOptions o;
  DefaultPaintOptions(&o);
  o.memo = memo;
  o.months = view == 0 ? 1 : 2;
  o.stacked = view == 2;
  o.english = english;
  o.scheduleStyle = style;
  return o;
}

PaintOptions CheckOptions() { return ChipOptions("1998/2", 1, false, 1); }

void CheckChipRecovers(Soak* s, HostChip* chip) {
  SoakEndFault();
  std::vector<unsigned char> block = PaintSaveBlock(CheckOptions());
  HostChipSetSaveData(chip, block.data(), block.size());
  HostChipSetMemo(chip, CheckOptions().memo);
  HostUpdate(&s->api, chip);
  HostChipPeek peek;
  if (!HostPeekChip(chip->chip, &peek)) Wrong(s, "the chip cannot be looked at after the failure");
  else if (memcmp(&peek, &s->reference, sizeof peek)) Wrong(s, "the chip's state stays wrong after the failure");
}
