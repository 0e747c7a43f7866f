// What the screen shows, as a user sees it (windows with their frames).
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Copies the screen rectangle (screen coordinates); rgb gets 3 bytes a pixel,
// top row first.
bool CaptureScreenRect(const RECT& area, int* width, int* height, std::vector<uint8_t>* rgb);
// The window with its frame, as it is on the screen now.
bool CaptureWindowPng(HWND window, const char* path);
