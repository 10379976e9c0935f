#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Result.h"

// How a card image is opened. The image is locked (flock) for as long as it
// is open, so that no two programs ever write one image at once: a writer
// holds it alone, readers share it. A lock that is taken refuses the open at
// once with "The card image FILE is in use by another program."
enum class ImageAccess {
  Read,            // shared with other readers; nothing is written to it
  Write,           // alone; a file that may not be written is refused
  WriteIfAllowed,  // as Write where the file may be written, else as Read
};

// A card image on disk, kept open while the simulated card uses it. The card
// holds its pages in wire order; a .dcm file is in wire order too, while .bin
// and .vmu files (the emulators' images) and .vmd files (dumps made on the
// console) are in storage order, each aligned group of four bytes reversed,
// and are converted on the way in and out.
class CCardImageFile {
 public:
  explicit CCardImageFile(const FileCalls& calls = RealFileCalls());
  ~CCardImageFile();  // closes the file, which gives up the lock

  CCardImageFile(const CCardImageFile&) = delete;
  CCardImageFile& operator=(const CCardImageFile&) = delete;

  // Opens the file and puts its pages, in wire order, into pages (one or four
  // pages' worth). A failure names the file and the reason, and changes
  // neither pages nor this object. Only a regular file is opened.
  Result Open(const std::string& path, ImageAccess access, std::vector<std::uint8_t>& pages);

  std::uint32_t GetPageCount() const { return pageCount_; }  // 0 while none is open
  const std::string& GetPath() const { return path_; }
  bool IsWritable() const { return writable_; }
  // Whether path leads to this very file (the same device and inode), by
  // whatever name or link.
  bool IsNamedBy(const std::string& path) const;

  // Writes length wire-order bytes of a page, from offset on, and hands them to
  // the operating system before returning, so that a killed process loses
  // nothing. Offset and length must be multiples of 4 and stay inside the page.
  // An image opened for reading only refuses with ReadOnlyMessage.
  Result WritePageBytes(std::uint32_t page, std::uint32_t offset, const std::uint8_t* wire,
                        std::uint32_t length);

  // Makes what was written reach the disk (fdatasync), so that a command
  // reports success only for what a power cut would keep. Nothing to do when
  // nothing was written since the last time.
  Result Sync();

  // "The card image FILE is read-only."
  static std::string ReadOnlyMessage(const std::string& path);

 private:
  FileCalls calls_;
  int fd_ = -1;
  std::string path_;
  std::uint32_t pageCount_ = 0;
  bool storageOrder_ = false;
  bool writable_ = false;
  bool unsynced_ = false;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};
