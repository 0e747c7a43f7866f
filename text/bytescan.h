// Searches of the table readers over raw bytes: sixteen bytes at a time with
// SSE2 where the processor has it, four at a time otherwise. The library is
// built for every i686 processor, so the choice is made when it runs.
#pragma once

#include <stddef.h>

// Whether the processor offers SSE2: IsProcessorFeaturePresent in the
// library, the compiler's own test in the native build.
int ProcessorHasSse2();

// Forces the four-byte loops (0) or the SSE2 ones (1, only where the
// processor has SSE2), or -1 to choose by the processor again.
void SetByteScanSse2(int mode);
int ByteScanUsesSse2();

// The first byte from p on that is a line feed, '#', CR or NUL; end when there is none.
const unsigned char* FindLineByte(const unsigned char* p, const unsigned char* end);
// The first line feed from p on; end when there is none.
const unsigned char* FindLineFeed(const unsigned char* p, const unsigned char* end);
// FindLineFeed's loop for this processor, for callers that search once a
// line and would otherwise ask each time which loop to take.
typedef const unsigned char* (*LineFeedFinder)(const unsigned char* p, const unsigned char* end);
LineFeedFinder LineFeedSearch();
