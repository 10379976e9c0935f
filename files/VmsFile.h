#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

class CVmuDirEntry;

// A card file as a VMS file (its blocks in file order, as the card storage
// layer sees them) with the 108-byte VMI file that describes it beside:
// description, copyright, date, file name on the card, mode (game and
// copy-protect bits) and size in bytes, under a checksum of the name of the
// VMS file the VMI names. Failures carry the user's message.
class CVmsFile {
 public:
  static constexpr std::size_t kVmiLength = 108;
  using Vmi = std::array<std::uint8_t, kVmiLength>;
  // How many bytes of its VMS file's name (without .vms) a VMI holds.
  static constexpr std::size_t kResourceLength = 8;

  // A name ending in .vms or .vmi, in any case.
  static bool IsPairName(const std::string& path);
  // A name ending in .vmi, in any case.
  static bool IsVmiName(const std::string& path);
  // The other file of the pair named by path: the same name with .vmi for
  // .vms and back, the extension's case kept.
  static std::string Companion(const std::string& path);
  // The other file of the pair that is there beside path: its Companion, or
  // the same name with the other extension in lower or in upper case (a
  // pair copied from a console's tools is named in upper case); empty when
  // none of them is there.
  static std::string Beside(const std::string& path);

  // The VMI of a file whose VMS is named resource (up to 8 bytes, no .vms).
  // Its date is the entry's, in binary, the weekday counted from Sunday; a
  // weekday the card holds past 6 is replaced by the date's own.
  static Vmi Describe(const CVmuDirEntry& entry, const std::vector<std::uint8_t>& blocks,
                      const std::string& resource);
  // Writes path's pair (either name): the VMS, then the VMI, which names the
  // VMS by its name without .vms, its first kResourceLength bytes when it is
  // longer (NamesItsVms). A file that existed keeps its old content if its
  // writing fails.
  static Result WritePair(const std::string& path, const CVmuDirEntry& entry,
                          const std::vector<std::uint8_t>& blocks);

  // The name the VMI WritePair writes for path gives the pair's VMS: the
  // VMS's name without folder and .vms, at most its first kResourceLength
  // bytes; and whether that is the whole of it.
  static std::string ResourceFor(const std::string& path);
  static bool NamesItsVms(const std::string& path);

  // Reads the pair: the entry the VMI describes (first block 0) and the
  // VMS's blocks. vmsPath: the VMS beside the VMI; empty: the one the VMI
  // names, in the VMI's folder. The VMI's size (1 byte to 200 blocks) says
  // how much of the VMS is the file, whose last block is filled up with zero
  // bytes. Its date is read in binary, as a VMI holds it, or where that is
  // no date but the card's own BCD is, as such (as some tools wrote it);
  // where it is neither, the file is dated now (8 BCD bytes) and redated,
  // if given, is set.
  static Result ReadPair(const std::string& vmiPath, const std::string& vmsPath,
                         const std::uint8_t* now, CVmuDirEntry& entry,
                         std::vector<std::uint8_t>& blocks, bool* redated = nullptr);
  // A VMS without its VMI, as a data file named after it (cardName, 12
  // bytes padded with zero bytes), dated stamp (8 BCD bytes), of any length
  // from 1 byte to 200 blocks, its last block filled up with zero bytes.
  static Result ReadAlone(const std::string& path, const std::uint8_t* stamp, CVmuDirEntry& entry,
                          std::vector<std::uint8_t>& blocks);
  // The card file name a VMS alone gets: its name without folder and
  // extension, at most 12 bytes.
  static std::string CardNameFor(const std::string& path);
};
