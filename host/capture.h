// Pictures of what the screen shows.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Copies a rectangle of the screen (screen coordinates); rgb gets 3 bytes a
// pixel, top row first.
bool CaptureScreenRect(const RECT& rect, int* width, int* height, std::vector<uint8_t>* rgb);
// The window as it stands on the screen, frame included, written as PNG.
bool CaptureWindowPng(HWND window, const char* path);
