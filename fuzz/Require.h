// The rule a fuzz target checks: a broken rule stops the run with the input saved, like a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#define VEDO_REQUIRE(condition)                                                           \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "rule broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (false)
