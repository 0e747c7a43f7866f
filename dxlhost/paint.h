// Chips painted into pictures, or shown live on the desktop.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

#include "host/loader.h"

struct PaintOptions {
  const char* memo;
  int months;  // 1 or 2
  bool stacked;
  bool english;
  COLORREF todayColor, sundayColor, saturdayColor, holidayColor;
  COLORREF textColor, backColor;
  int scheduleStyle;
  int width, height;  // client size; 0 = what CalcDefaultRect proposes
  int fontHeight;
  const char* fontFace;
  int fontQuality;
};

void DefaultPaintOptions(PaintOptions* options);
// The saved-data block (length 24 and payload) for the options.
std::vector<unsigned char> PaintSaveBlock(const PaintOptions& options);

// What a shown chip window paints and clicks (its GWLP_USERDATA).
struct LiveChip {
  const DxlApi* api;
  HostChip* chip;
};

// Creates the chip in a hidden window of the right size.
bool CreatePaintChip(const DxlApi* api, const PaintOptions& options, HostChip* chip);
// DrawChip into a 32-bit DIB section of the client size; rgb gets 3 bytes a
// pixel, top row first.
bool PaintChipPixels(const DxlApi* api, const HostChip* chip, int* width, int* height, std::vector<uint8_t>* rgb);

// dxlhost paint LIBRARY [options]
int RunPaintCommand(int argc, char** argv);
