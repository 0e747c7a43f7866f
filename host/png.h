// A small PNG writer: 8-bit RGB, zlib stored blocks, no compression library.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size);

// rgb: height rows of width pixels, 3 bytes each (red, green, blue), top row first.
bool EncodePng(int width, int height, const uint8_t* rgb, std::vector<uint8_t>* out);
bool WritePng(const char* path, int width, int height, const uint8_t* rgb);
