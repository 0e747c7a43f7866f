// The floor of a computation over table files: open each file, read it whole
// and find every line end with the fastest loop the processor offers, and
// nothing else. No parsing, no settings, no era table.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct FloorRun {
  double ms;
  uint32_t lineEnds;  // line feeds found
  uint32_t sum;       // of their offsets, so that no loop can be left out
};

// Whether the SSE2 loop is the one used.
bool FloorUsesSse2();
FloorRun MeasureFloor(const std::vector<std::string>& paths);
