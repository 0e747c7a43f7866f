#include "text/bytescan.h"

int ProcessorHasSse2() {
#if defined(__x86_64__)
  return 1;
#elif defined(__i386__)
  return __builtin_cpu_supports("sse2");
#else
  return 0;
#endif
}
