// What dxlhost's commands share: loading a library with a word on what was
// loaded, whole files, and printing a chip's state and bytes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/loader.h"

// LoadDxl that says which file it loaded on stdout, or on stderr why it could
// not load it.
bool LoadDxlOrComplain(const char* path, DxlApi* api);

bool ReadWholeFile(const char* path, std::vector<unsigned char>* out);

// Prints the chip's state fields, each line starting with when.
void PrintChipState(const char* when, HGLOBAL chip);

std::string HexBytes(const std::vector<unsigned char>& bytes);

bool WriteWholeFile(const char* path, const std::vector<unsigned char>& bytes);
