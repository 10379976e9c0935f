#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One file in a folder of its own under the system's temporary folder; the
// folder goes with the object. The fuzz targets hand their input to the code
// under test through it, since that code reads files by name.
class CScratchFile {
 public:
  explicit CScratchFile(const std::string& name);
  ~CScratchFile();
  CScratchFile(const CScratchFile&) = delete;
  CScratchFile& operator=(const CScratchFile&) = delete;

  const std::string& Path() const { return path_; }
  // Another file in the same folder, for inputs that come as a pair of files.
  std::string Beside(const std::string& name) const { return folder_ + "/" + name; }
  // Replaces the file's contents; false when it could not be written whole.
  bool Write(const std::uint8_t* data, std::size_t size) { return WriteFile(path_, data, size); }
  // The same for any file, without the wait for the disk a user's file gets.
  static bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);

 private:
  std::string folder_;
  std::string path_;
};
