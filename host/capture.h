// Pictures taken from the screen, as the user sees it.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Copies a rectangle of the screen (BitBlt from the screen's device context)
// into rgb, 3 bytes a pixel, top row first.
bool CaptureScreenRect(const RECT& rect, std::vector<uint8_t>* rgb);
