// Day masks and string lists in test expectations.
#pragma once

#include <stdint.h>

#include <initializer_list>
#include <string>

inline uint32_t Bits(std::initializer_list<int> days) {
  uint32_t mask = 0;
  for (int d : days) mask |= 1u << d;
  return mask;
}

// Shows a string list as "a|b|".
inline std::string ShowList(const char* list, int limit) {
  std::string out;
  int i = 0;
  while (i < limit && list[i]) {
    for (; i < limit && list[i]; ++i) out += list[i];
    out += '|';
    ++i;
  }
  return out;
}
