#include "ScratchDirectory.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

CScratchDirectory::CScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvantis-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;  // else the tests fail on no folder
}

CScratchDirectory::~CScratchDirectory() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void WithFileSizeLimit(std::uint64_t bytes, const std::function<void()>& work) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  work();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
}

namespace {
int OpenForReadingOnly(const char* path, int flags, unsigned mode) {
  if ((flags & O_ACCMODE) != O_RDONLY) {
    errno = EACCES;
    return -1;
  }
  return RealFileCalls().open(path, flags, mode);
}
}  // namespace

FileCalls ReadOnlyFileCalls() {
  FileCalls calls = RealFileCalls();
  calls.open = OpenForReadingOnly;
  return calls;
}
