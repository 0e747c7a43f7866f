// PNG files through the system's image codec (Windows Imaging Component).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// rgb: height rows of width pixels, 3 bytes each (red, green, blue), top row
// first. Writes a compressed PNG; on failure no file is left at path.
bool WritePng(const char* path, int width, int height, const uint8_t* rgb);
// Reads any picture the codec knows (the first frame) into the same layout.
bool ReadPng(const char* path, int* width, int* height, std::vector<uint8_t>* rgb);
