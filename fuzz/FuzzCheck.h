#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of what a feed was given. A broken one ends the run like a crash, so libFuzzer
// keeps the input that broke it.
#define QUINTARA_FUZZ_CHECK(condition)                                                       \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)
