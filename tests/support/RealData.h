#pragma once

// The real card data beside the repository (KORVANTIS_REALDATA_DIR, which
// every test program is given). A test that needs some of it starts with
// KORVANTIS_NEED_REALDATA("images/PACit.bin"): where that is missing the test
// is skipped, or fails when KORVANTIS_REQUIRE_REALDATA=1 is in the
// environment, as CI sets it, so that no real-data test passes unseen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

// A file or folder of the real data, by its path inside the folder.
inline std::string RealData(const std::string& inside) {
  return std::string(KORVANTIS_REALDATA_DIR) + "/" + inside;
}

inline bool RealDataRequired() {
  const char* required = std::getenv("KORVANTIS_REQUIRE_REALDATA");
  return required != nullptr && std::strcmp(required, "1") == 0;
}

#define KORVANTIS_NEED_REALDATA(inside)                                                      \
  do {                                                                                       \
    const std::string needed = RealData(inside);                                             \
    if (std::filesystem::exists(needed)) break;                                              \
    if (RealDataRequired()) FAIL() << needed << " is missing; KORVANTIS_REQUIRE_REALDATA=1"; \
    GTEST_SKIP() << needed << " is missing: the real data is not beside the repository";     \
  } while (false)
