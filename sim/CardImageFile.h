#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A card image on disk, kept open for reading and writing while the simulated
// card uses it. The card holds its pages in wire order; a .dcm file is in wire
// order too, while .bin and .vmu files (the emulators' images) are in storage
// order, each aligned group of four bytes reversed, and are converted on the
// way in and out.
class CCardImageFile {
 public:
  static constexpr std::uint32_t kPageSize = 131072;
  static constexpr std::uint32_t kMaxPages = 4;

  // Opens the file and puts its pages, in wire order, into pages (one or four
  // pages' worth). On failure error names the file and the reason, and
  // neither pages nor this object changes.
  bool Open(const std::string& path, std::vector<std::uint8_t>& pages, std::string& error);

  std::uint32_t GetPageCount() const { return pageCount_; }  // 0 while none is open

  // Writes length wire-order bytes of a page, from offset on, and hands them to
  // the operating system before returning, so that a killed process loses
  // nothing. Offset and length must be multiples of 4 and stay inside the page.
  bool WritePageBytes(std::uint32_t page, std::uint32_t offset, const std::uint8_t* wire,
                      std::uint32_t length, std::string& error);

 private:
  std::fstream file_;
  std::string path_;
  std::uint32_t pageCount_ = 0;
  bool storageOrder_ = false;
};
