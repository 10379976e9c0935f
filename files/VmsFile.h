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
  static Vmi Describe(const CVmuDirEntry& entry, const std::vector<std::uint8_t>& blocks,
                      const std::string& resource);
  // Writes path's pair (either name): the VMS, then the VMI. A file that
  // existed keeps its old content if its writing fails.
  static Result WritePair(const std::string& path, const CVmuDirEntry& entry,
                          const std::vector<std::uint8_t>& blocks);

  // Reads the pair: the entry the VMI describes (first block 0) and the
  // VMS's blocks. vmsPath: the VMS beside the VMI; empty: the one the VMI
  // names, in the VMI's folder.
  static Result ReadPair(const std::string& vmiPath, const std::string& vmsPath,
                         CVmuDirEntry& entry, std::vector<std::uint8_t>& blocks);
  // A VMS without its VMI, as a data file named after it (cardName, 12
  // bytes padded with zero bytes), dated stamp (8 BCD bytes).
  static Result ReadAlone(const std::string& path, const std::uint8_t* stamp, CVmuDirEntry& entry,
                          std::vector<std::uint8_t>& blocks);
  // The card file name a VMS alone gets: its name without folder and
  // extension, at most 12 bytes.
  static std::string CardNameFor(const std::string& path);
};
