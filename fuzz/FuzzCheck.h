#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run when condition fails, naming what went wrong; libFuzzer keeps
// the input that did it.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "Finding: %s\n", what);
  std::abort();
}
