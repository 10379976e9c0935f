#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FileCalls.h"

// A fresh folder under the system's temporary folder, removed with the object.
class CScratchDirectory {
 public:
  CScratchDirectory();
  ~CScratchDirectory();
  CScratchDirectory(const CScratchDirectory&) = delete;
  CScratchDirectory& operator=(const CScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A whole file's bytes (none when it cannot be read), and a file made of bytes.
std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Runs work with files limited to a size, so that writing a longer one fails
// part-way as on a full disk.
void WithFileSizeLimit(std::uint64_t bytes, const std::function<void()>& work);

// The machine's file calls, but writing is refused (EACCES) as for a file the
// user may only read; root, who may write any file, is no exception here.
FileCalls ReadOnlyFileCalls();
