#include "ScratchDirectory.h"

#include <atomic>
#include <random>
#include <system_error>

CScratchDirectory::CScratchDirectory() {
  static std::atomic<unsigned> serial{0};
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("korvantis-test-" + std::to_string(random()) + "-" + std::to_string(serial++));
    std::error_code error;
    if (std::filesystem::create_directory(path_, error)) return;
  }
  path_.clear();  // the tests that use it fail on the missing folder
}

CScratchDirectory::~CScratchDirectory() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}
