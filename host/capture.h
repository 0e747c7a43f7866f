// Pictures of what is drawn: into a bitmap, or taken from the screen.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Runs draw on a memory device context holding a 32-bit bitmap of width x
// height, then turns the bitmap into rgb, 3 bytes a pixel, top row first.
// The result is draw's.
bool DrawIntoPixels(int width, int height, bool (*draw)(HDC dc, void* context), void* context,
                    std::vector<uint8_t>* rgb);

// Copies a rectangle of the screen (BitBlt from the screen's device context)
// into rgb as above.
bool CaptureScreenRect(const RECT& rect, std::vector<uint8_t>* rgb);
