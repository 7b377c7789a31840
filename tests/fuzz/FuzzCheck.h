// What every fuzz target uses to say that a property failed: the message on
// stderr, then abort, which libFuzzer reports as a crash (and keeps the
// input) and which fails the replaying test.
// Depends on: nothing but the C library.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond, ...)                                                \
  do {                                                                       \
    if (!(cond)) {                                                           \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n  ", #cond, __FILE__, __LINE__); \
      std::fprintf(stderr, __VA_ARGS__);                                     \
      std::fprintf(stderr, "\n");                                            \
      std::abort();                                                          \
    }                                                                        \
  } while (0)
