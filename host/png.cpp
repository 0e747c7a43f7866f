#include "host/png.h"

#include <stdio.h>
#include <string.h>

namespace {

void PutBe32(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back((uint8_t)(v >> 24));
  out->push_back((uint8_t)(v >> 16));
  out->push_back((uint8_t)(v >> 8));
  out->push_back((uint8_t)v);
}

void PutChunk(std::vector<uint8_t>* out, const char type[4], const std::vector<uint8_t>& data) {
  PutBe32(out, (uint32_t)data.size());
  size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  PutBe32(out, Crc32(out->data() + start, out->size() - start));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    ready = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

bool EncodePng(int width, int height, const uint8_t* rgb, std::vector<uint8_t>* out) {
  if (width <= 0 || height <= 0 || width > 0x4000 || height > 0x4000 || !rgb) return false;
  const size_t rowBytes = (size_t)width * 3;
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), rgb + y * rowBytes, rgb + (y + 1) * rowBytes);
  }

  std::vector<uint8_t> z;
  z.push_back(0x78);
  z.push_back(0x01);
  size_t pos = 0;
  do {
    size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back((uint8_t)n);
    z.push_back((uint8_t)(n >> 8));
    z.push_back((uint8_t)~n);
    z.push_back((uint8_t)(~n >> 8));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  PutBe32(&z, Adler32(raw.data(), raw.size()));

  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out->assign(kSignature, kSignature + 8);
  std::vector<uint8_t> header;
  PutBe32(&header, (uint32_t)width);
  PutBe32(&header, (uint32_t)height);
  const uint8_t rest[5] = {8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, no filter set, no interlace
  header.insert(header.end(), rest, rest + 5);
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", std::vector<uint8_t>());
  return true;
}

bool WritePng(const char* path, int width, int height, const uint8_t* rgb) {
  std::vector<uint8_t> bytes;
  if (!EncodePng(width, height, rgb, &bytes)) return false;
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}
