#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "Result.h"

// A card image on disk, kept open for reading and writing while the simulated
// card uses it. The card holds its pages in wire order; a .dcm file is in wire
// order too, while .bin and .vmu files (the emulators' images) are in storage
// order, each aligned group of four bytes reversed, and are converted on the
// way in and out.
class CCardImageFile {
 public:
  // Opens the file and puts its pages, in wire order, into pages (one or four
  // pages' worth). A failure names the file and the reason, and changes
  // neither pages nor this object.
  Result Open(const std::string& path, std::vector<std::uint8_t>& pages);

  std::uint32_t GetPageCount() const { return pageCount_; }  // 0 while none is open

  // Writes length wire-order bytes of a page, from offset on, and hands them to
  // the operating system before returning, so that a killed process loses
  // nothing. Offset and length must be multiples of 4 and stay inside the page.
  Result WritePageBytes(std::uint32_t page, std::uint32_t offset, const std::uint8_t* wire,
                        std::uint32_t length);

 private:
  std::fstream file_;
  std::string path_;
  std::uint32_t pageCount_ = 0;
  bool storageOrder_ = false;
};
