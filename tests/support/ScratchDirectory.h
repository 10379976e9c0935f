#pragma once

#include <filesystem>
#include <string>

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
