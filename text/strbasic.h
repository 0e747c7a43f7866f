// String basics: numbers, fields, character search, first line, date text.
// All double-byte aware (see leadbyte.h).
#pragma once

#include <stdint.h>

int32_t ParseNumber(const char* text);
uint32_t SplitFields(char* text, const char* delimiters);
char* FindChar(const char* text, char c);
char* FindLastChar(const char* text, char c);
int CopyFirstLine(const char* text, char* dest, int capacity);
// Any of year, month, day may be null.
uint32_t ParseDateText(const char* text, uint16_t* year, uint16_t* month, uint16_t* day);
