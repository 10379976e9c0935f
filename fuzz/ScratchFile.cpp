#include "ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

CScratchFile::CScratchFile(const std::string& name) {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvantis-fuzz-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();  // a target without its file would fuzz nothing
  }
  folder_ = buffer.data();
  path_ = folder_ + "/" + name;
}

CScratchFile::~CScratchFile() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

bool CScratchFile::WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  file.close();
  return static_cast<bool>(file);
}
