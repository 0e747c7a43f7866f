// Date placeholder expansion, double-byte aware.
#include "month/datecmd.h"

#include <stdio.h>
#include <string.h>

#include "text/leadbyte.h"

namespace {

// What the walk does at one position: consume bytes of the text and put
// `outLength` bytes in their place (keep = the consumed bytes stay).
struct WalkStep {
  int consume;
  int keep;
  int outLength;
  char out[8];
  int last;  // a lead byte before the terminator ends the walk
};

void ClassifyStep(const char* p, uint16_t year, uint16_t month, uint16_t day, WalkStep* step) {
  step->consume = 1;
  step->keep = 1;
  step->outLength = 1;
  step->out[0] = '\0';
  step->last = 0;
  unsigned char c = (unsigned char)p[0];
  if (IsLeadByte(c)) {
    if (p[1] == '\0') {
      step->last = 1;
    } else {
      step->consume = 2;
      step->outLength = 2;
    }
    return;
  }
  if (c != '%') return;

  step->keep = 0;
  step->outLength = 0;
  unsigned value = 0;
  const char* format = "%02u";
  switch (p[1]) {
    case 'Y':
      value = year;
      format = "%04u";
      break;
    case 'y':
      value = year;
      break;
    case 'M':
    case 'm':
      value = month;
      break;
    case 'D':
    case 'd':
      value = day;
      break;
    default:
      return;  // only the '%' goes
  }
  step->consume = 2;
  if (value == 0) return;
  if (p[1] == 'y') value %= 100;
  int n = snprintf(step->out, sizeof step->out, format, value);
  step->outLength = n > 0 && n < (int)sizeof step->out ? n : 0;
}

// One walk over the text, rewriting the steps of one kind: the shrinking
// ones (growing = 0) or the growing ones. Shrinking first keeps every
// intermediate text within the final length. Returns 0 if a step would not fit.
int ApplySteps(char* text, int capacity, int* length, uint16_t y, uint16_t m, uint16_t d, int growing) {
  WalkStep step;
  for (int p = 0; p < *length;) {
    ClassifyStep(text + p, y, m, d, &step);
    if (step.keep || (step.outLength > step.consume) != (growing != 0)) {
      p += step.consume;
      if (step.last) break;
      continue;
    }
    int newLength = *length + step.outLength - step.consume;
    if (newLength >= capacity) return 0;
    memmove(text + p + step.outLength, text + p + step.consume, (size_t)(*length - p - step.consume + 1));
    memcpy(text + p, step.out, (size_t)step.outLength);
    *length = newLength;
    p += step.outLength;
  }
  return 1;
}

}  // namespace

int ExpandDatePlaceholders(char* text, int capacity, unsigned year, unsigned month, unsigned day) {
  if (!text || capacity <= 0) return 0;
  uint16_t y = (uint16_t)year, m = (uint16_t)month, d = (uint16_t)day;
  const char* end = (const char*)memchr(text, '\0', (size_t)capacity);
  if (!end) {
    text[capacity - 1] = '\0';
    end = text + capacity - 1;
  }
  int length = (int)(end - text);

  // Measure first, so that nothing changes when the result would not fit.
  WalkStep step;
  int expanded = 0;
  for (int i = 0; i < length;) {
    ClassifyStep(text + i, y, m, d, &step);
    expanded += step.outLength;
    i += step.consume;
    if (step.last) break;
  }
  if (expanded >= capacity) return 0;

  return ApplySteps(text, capacity, &length, y, m, d, 0) && ApplySteps(text, capacity, &length, y, m, d, 1);
}
