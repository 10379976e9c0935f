#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The memory card's page as every layer above the link sees it: its sizes,
// where the root block keeps the page's layout, what the allocation table's
// entries mean, and the two byte orders a page is stored in.
namespace card_format {

constexpr std::uint32_t kBlockSize = 512;
constexpr std::uint32_t kBlocksPerPage = 256;  // blocks 0 to 255
constexpr std::uint32_t kPageSize = kBlockSize * kBlocksPerPage;
static_assert(kPageSize == 131072, "a page is 128 KiB");
constexpr std::uint32_t kPageCount = 4;  // pages on one card

constexpr std::uint16_t kUserBlocks = 200;  // blocks 0 to 199 hold files
constexpr std::uint16_t kRootBlock = 255;
constexpr std::uint32_t kDirEntrySize = 32;
constexpr std::uint32_t kEntriesPerBlock = kBlockSize / kDirEntrySize;

// A directory entry's fields, as byte offsets into its 32 bytes. The 16-bit
// fields are little-endian.
constexpr std::uint32_t kEntryType = 0;           // one of the type bytes below
constexpr std::uint32_t kEntryCopyProtect = 1;    // 0, or not 0 for a copy-protected file
constexpr std::uint32_t kEntryFirstBlock = 2;     // where the file's chain starts
constexpr std::uint32_t kEntryName = 4;           // kFileNameLength bytes, padded with blanks
constexpr std::uint32_t kEntryStamp = 16;         // kStampLength BCD bytes: when it was written
constexpr std::uint32_t kEntrySize = 24;          // the file's length in blocks
constexpr std::uint32_t kEntryHeaderOffset = 26;  // the header's block along the chain
constexpr std::uint32_t kFileNameLength = 12;
constexpr std::uint32_t kStampLength = 8;

// A directory entry's type byte: a free entry, a data file, a game. Any
// other byte but 0 is read as a data file too.
constexpr std::uint8_t kTypeFree = 0x00;
constexpr std::uint8_t kTypeData = 0x33;
constexpr std::uint8_t kTypeGame = 0xCC;
// The copy-protect byte the console gives a file its game keeps from copying.
constexpr std::uint8_t kCopyProtected = 0xFF;
// The card's own icon file, whose header is of a kind of its own.
inline constexpr char kIconFileName[] = "ICONDATA_VMS";

// The root block's fields, as byte offsets into block 255. The 16-bit fields
// are little-endian; the start blocks are each region's highest block.
constexpr std::uint32_t kRootFormatMarker = 0;  // kFormatMarkerLength bytes of kFormatMarkerByte
constexpr std::uint32_t kFormatMarkerLength = 16;
constexpr std::uint8_t kFormatMarkerByte = 0x55;
constexpr std::uint32_t kRootStamp = 0x30;  // 8 BCD bytes: when the page was formatted
constexpr std::uint32_t kRootLastBlock = 64;
constexpr std::uint32_t kRootLocation = 68;  // the root block's own number
constexpr std::uint32_t kRootFatStart = 70;
constexpr std::uint32_t kRootFatBlockCount = 72;
constexpr std::uint32_t kRootDirectoryStart = 74;
constexpr std::uint32_t kRootDirectoryBlockCount = 76;
constexpr std::uint32_t kRootIconShape = 78;
constexpr std::uint32_t kRootDirectoryEntryCount = 80;
constexpr std::uint32_t kRootGameAreaStart = 82;  // where game files begin
constexpr std::uint32_t kRootMaxGameBlocks = 86;  // how many blocks a game file may take

// Whether the kFormatMarkerLength bytes at a root block's kRootFormatMarker
// are the format marker: a page without it holds no file system.
constexpr bool IsFormatMarker(const std::uint8_t* marker) {
  for (std::uint32_t i = 0; i < kFormatMarkerLength; ++i)
    if (marker[i] != kFormatMarkerByte) return false;
  return true;
}

// How many of the directory's blocks hold entries: the run from the root's
// directory start downward that the allocation table chains, each block
// naming the one below it, at most the root's count of them. Some tools
// write a directory of one chained block under a root that counts thirteen;
// the blocks past the chain's end then hold files, not entries. next(b) is
// the table's entry for block b.
template <typename NextOf>
std::uint32_t ChainedDirectoryBlocks(std::uint32_t start, std::uint32_t count, NextOf next) {
  std::uint32_t blocks = 0;
  while (blocks < count) {
    const std::uint32_t block = start - blocks++;
    if (block == 0 || next(block) != block - 1) break;
  }
  return blocks;
}

// Where every card keeps a system run (the allocation table, the directory):
// count blocks from start downward, between the user blocks and the root block.
constexpr bool InSystemArea(std::uint32_t start, std::uint32_t count) {
  return count >= 1 && start < kRootBlock && start + 1 >= kUserBlocks + count;
}
// Whether a root's layout can be trusted: both runs where every card keeps
// them, and apart. Writing through any other layout would destroy files.
constexpr bool PlausibleLayout(std::uint32_t fatStart, std::uint32_t fatCount,
                               std::uint32_t dirStart, std::uint32_t dirCount) {
  return InSystemArea(fatStart, fatCount) && InSystemArea(dirStart, dirCount) &&
         (fatStart + dirCount <= dirStart || dirStart + fatCount <= fatStart);
}

// A file's header block (its descriptions), counted along the file's allocation
// chain: a data file starts with it; a game file's program begins with its
// first block, so the header is the second (a game of one block has none).
constexpr std::uint32_t kDataHeaderBlock = 0;
constexpr std::uint32_t kGameHeaderBlock = 1;

// Allocation-table entries; any other value is the number of the file's next block.
constexpr std::uint16_t kFatFree = 0xFFFC;
constexpr std::uint16_t kFatLastBlock = 0xFFFA;

// What is wrong with a file's allocation chain, if anything.
enum class ChainFault {
  None,
  Loops,          // back at a block met before
  EntersSystem,   // at the root block, a table block or a directory block
  LeavesPage,     // at a block number past the page
  OverFreeBlock,  // at a block the table marks free
  SizeDisagrees,  // whole, but longer or shorter than the entry's size
};

// A file's chain as WalkChain found it. It is sound when it reaches the end
// marker with exactly as many blocks as the entry's size, each on the page,
// none of them a system block, and none twice.
struct FileChain {
  // Every block the entry reaches, in file order, whatever its size says.
  std::vector<std::uint16_t> blocks;
  // Whether the chain reaches the end marker, so that its blocks are the
  // file's (unless another entry reaches them as well), even when the entry's
  // size disagrees.
  bool ended = false;
  ChainFault fault = ChainFault::None;
  std::uint16_t faultBlock = 0;  // the block the fault names
  std::uint16_t size = 0;        // the entry's size, which a size fault quotes

  bool IsSound() const { return fault == ChainFault::None; }
};

// The one walk along the allocation table, which the card storage, the
// checker and defragment all take, so that what one calls a file's blocks
// the others do too. From block first, each block's entry names the next
// (next(b) is the table's entry for block b); the walk collects the blocks up
// to the end marker or a block marked free (both collected), or up to a
// block off the page, one isSystem(b) names, or one met before (none of these
// collected), and judges the chain against size, the entry's count of blocks.
// It never takes more steps than the page has blocks.
template <typename NextOf, typename IsSystem>
FileChain WalkChain(std::uint32_t first, std::uint16_t size, NextOf next, IsSystem isSystem) {
  FileChain chain;
  chain.size = size;
  std::bitset<kBlocksPerPage> seen;
  for (std::uint32_t block = first;;) {
    chain.faultBlock = static_cast<std::uint16_t>(block);
    if (block >= kBlocksPerPage) {
      chain.fault = ChainFault::LeavesPage;
      return chain;
    }
    if (isSystem(block)) {
      chain.fault = ChainFault::EntersSystem;
      return chain;
    }
    if (seen[block]) {
      chain.fault = ChainFault::Loops;
      return chain;
    }
    seen[block] = true;
    chain.blocks.push_back(static_cast<std::uint16_t>(block));
    const std::uint16_t after = next(block);
    if (after == kFatFree) {
      chain.fault = ChainFault::OverFreeBlock;
      return chain;
    }
    if (after == kFatLastBlock) {
      chain.ended = true;
      if (chain.blocks.size() != size) chain.fault = ChainFault::SizeDisagrees;
      return chain;
    }
    block = after;
  }
}

// A file's header: the first block of a data file, the second of a game file.
// Texts are padded with blanks, the application's name with zero bytes.
constexpr std::uint32_t kHeaderShortDescription = 0x00;  // kShortDescriptionLength bytes
constexpr std::uint32_t kHeaderLongDescription = 0x10;   // kLongDescriptionLength bytes
constexpr std::uint32_t kHeaderApplication = 0x30;       // kApplicationLength bytes
constexpr std::uint32_t kHeaderIconCount = 0x40;         // frames of the icon's animation
constexpr std::uint32_t kHeaderAnimationSpeed = 0x42;
constexpr std::uint32_t kHeaderEyecatchType = 0x44;  // 0: none
constexpr std::uint32_t kHeaderChecksum = 0x46;      // Crc16 of a data file; games leave it unused
constexpr std::uint32_t kHeaderDataSize = 0x48;      // 32 bits: the bytes after icons and eyecatch
constexpr std::uint32_t kHeaderPalette = 0x60;       // 16 colours, 16 bits each (ARGB 4444)
constexpr std::uint32_t kHeaderIcons = 0x80;         // 512 bytes a frame: 32 x 32 pixels of 4 bits
constexpr std::uint32_t kIconFrameSize = 512;
constexpr std::uint32_t kShortDescriptionLength = 16;
constexpr std::uint32_t kLongDescriptionLength = 32;
constexpr std::uint32_t kApplicationLength = 16;

// The card's own icon file (kIconFileName), a data file of a layout of its
// own: the description the card's screen shows, then the byte offsets in the
// file of a monochrome icon and of a colour icon (0: none).
constexpr std::uint32_t kIconDataDescription = 0x00;  // kShortDescriptionLength bytes, blank-padded
constexpr std::uint32_t kIconDataMonoOffset = 0x10;   // 32 bits
constexpr std::uint32_t kIconDataColourOffset = 0x14;  // 32 bits
constexpr std::uint32_t kIconDataFields = 0x18;        // where the icons may begin
// 32 x 32 bits, rows from the top, four bytes a row, the leftmost pixel in
// a byte's high bit; a set bit is dark.
constexpr std::uint32_t kMonoIconSize = 128;
// A palette of 16 colours as in a header (kHeaderPalette), then one frame.
constexpr std::uint32_t kColourIconSize = 32 + kIconFrameSize;

// The 16-bit checksum a data file's header carries: CRC-CCITT (polynomial
// 0x1021, starting from 0) over the file's bytes from its header to the end of
// its data (header, icon frames, eyecatch, data size), the checksum field zeroed.
std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size);

// 16-bit and 32-bit little-endian fields.
inline std::uint16_t GetLe16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
inline void PutLe16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline std::uint32_t GetLe32(const std::uint8_t* at) {
  return GetLe16(at) | std::uint32_t{GetLe16(at + 2)} << 16;
}
inline void PutLe32(std::uint8_t* at, std::uint32_t value) {
  PutLe16(at, static_cast<std::uint16_t>(value));
  PutLe16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

// Packed BCD, as dates are kept: the high nibble tens, the low nibble units.
// A byte whose nibbles are no digits is read as they stand (0x3A is 40), as
// the card's own software shows it; a value is written modulo 100.
constexpr unsigned FromBcd(std::uint8_t byte) {
  return (byte >> 4) * 10u + (byte & 0x0Fu);
}
constexpr std::uint8_t ToBcd(unsigned value) {
  return static_cast<std::uint8_t>((value / 10 % 10) << 4 | value % 10);
}

// A card file's name as messages quote it: its name bytes up to the first
// zero byte, without the blanks that pad it.
std::string DisplayName(const std::string& nameBytes);

// Storage order is how the card storage layer sees a page (the link's swap
// flag set); wire order is how the bytes cross the wire (DCI and DCM files).
// They differ by the order inside every aligned group of four bytes, so the
// same reversal turns either into the other. A short tail is left alone.
void ReverseGroups(std::uint8_t* bytes, std::size_t size);

// The order a card image's name asks for: .dcm wire order; .bin, .vmu and
// .vmd (a console's own dump) storage order; in any case. False for any
// other name: none is a card image.
enum class ByteOrder { Wire, Storage };
bool ImageOrderFor(const std::string& path, ByteOrder& order);

}  // namespace card_format
