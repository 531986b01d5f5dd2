// The fuzz targets' assertion: a failed check aborts, so that libFuzzer keeps the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define CHECK(condition)                                          \
  do {                                                            \
    if (!(condition)) {                                           \
      std::fprintf(stderr, "check failed: %s\n", #condition);     \
      std::abort();                                               \
    }                                                             \
  } while (0)
