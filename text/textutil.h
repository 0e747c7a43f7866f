// Text utilities of the table readers: trimming, pattern scanning and
// unescaping; the table-line reader is in tableline.h.
#pragma once

#include <stdint.h>

#include "text/tableline.h"

void TrimLeft(char* text);
void TrimRight(char* text);

// Matches input against pattern and stores into the outputs in order; returns
// the number of conversions done. The array form takes the storing
// conversions' outputs from outputs[0..outputCount); a storing conversion
// beyond outputCount stops matching.
int ScanPatternV(const char* input, const char* pattern, void** outputs, int outputCount);
int ScanPattern(const char* input, const char* pattern, ...);

void Unescape(char* text, int pathMode);
