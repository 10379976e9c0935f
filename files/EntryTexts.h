#pragma once

#include <cstdint>
#include <string>

class CVmuCard;
class CVmuDirEntry;

// What the file list and the File Properties dialog show of one file. The
// card's texts are its bytes, unchanged, up to the first zero byte or the end
// of their field.
struct EntryTexts {
  std::string fileName;
  std::string shortDescription;
  std::string longDescription;
  std::string application;
  std::string size;
  std::string date;
  std::string time;
  std::string copyProtected;  // "Yes" or "No"
  std::string type;           // "Game" or "Data"
  bool copyProtect = false;
};

// The texts of directory entry n, which the caller has just read: those of
// the entry itself, and the descriptions from the file's header block (a data
// file's first block, a game file's second, along its allocation chain). A
// header that cannot be read leaves the three descriptions empty; why, when
// the card said, goes to headerStatus (status::kNoError otherwise).
EntryTexts DescribeFile(CVmuCard& card, std::uint16_t n, const CVmuDirEntry& entry,
                        std::uint32_t* headerStatus = nullptr);
