#include "VmsFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "CardDate.h"
#include "CardFormat.h"
#include "FileExtension.h"
#include "FileReader.h"
#include "FileWriter.h"
#include "Messages.h"
#include "VmuDirEntry.h"
#include "VmuTimestamp.h"

namespace {
// The VMI's fields, as byte offsets; numbers are little-endian.
constexpr std::size_t kChecksum = 0x00;     // 4 bytes: the resource name AND kChecksumMask
constexpr std::size_t kDescription = 0x04;  // kTextLength bytes of text
constexpr std::size_t kCopyright = 0x24;    // kTextLength bytes of text
constexpr std::size_t kTextLength = 32;
// 16 bits, then month, day, hour, minute, second, and the weekday counted from Sunday = 0
constexpr std::size_t kYear = 0x44;
constexpr std::size_t kVersion = 0x4C;
constexpr std::size_t kFileNumber = 0x4E;
constexpr std::size_t kResource = 0x50;  // the VMS file's name without .vms (kResourceLength)
constexpr std::size_t kCardName = 0x58;  // 12 bytes: the file's name on the card
constexpr std::size_t kMode = 0x64;      // bit 1: game file; bit 0: copy-protected
constexpr std::size_t kFileSize = 0x68;  // 32 bits: the VMS's length in bytes
constexpr std::uint8_t kChecksumMask[4] = {0x53, 0x45, 0x47, 0x41};
constexpr std::uint16_t kGameMode = 2, kProtectMode = 1;

std::string Extension(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string Stem(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A VMS holds at most a page's user blocks; a longer one is not read past that.
constexpr std::size_t kLargestVms = std::size_t{card_format::kUserBlocks} * card_format::kBlockSize;

// Whether anything is at path, asked of the file system alone: a pipe or a
// device of the name is not opened, so it is neither waited on nor woken.
bool IsThere(const std::string& path) {
  struct stat named {};
  return ::stat(path.c_str(), &named) == 0;
}

// At most maxSize bytes of the file at path and one more, so that a longer
// file shows; a failure names the file with message and the reason.
Result ReadFile(const std::string& path, std::size_t maxSize, const Message& message,
                std::vector<std::uint8_t>& bytes) {
  const Result read = ReadRegularFile(path, bytes, maxSize + 1);
  return read ? read : Result::Failure(Fill(message, {path, read.Message()}));
}

// A checksum that no name gives: a bit the mask clears is set. A VMI whose
// VMS was renamed keeps its old checksum, so the name itself is not compared.
bool ChecksumPossible(const std::uint8_t* vmi) {
  for (std::size_t i = 0; i < 4; ++i)
    if ((vmi[kChecksum + i] & ~kChecksumMask[i]) != 0) return false;
  return true;
}

// A card file holds 1 byte to 200 blocks. Programs spread as a VMS file
// are as long as the program; the card takes them in whole blocks.
Result CheckSize(std::uintmax_t size) {
  if (size == 0 || size > kLargestVms) {
    return Result::Failure(Fill(message::kVmsWrongSize, {std::to_string(size)}));
  }
  return Result();
}

// The last block filled up with zero bytes, as the console's tools do.
void FillLastBlock(std::vector<std::uint8_t>& blocks) {
  const std::size_t partial = blocks.size() % card_format::kBlockSize;
  if (partial != 0) blocks.resize(blocks.size() + card_format::kBlockSize - partial, 0);
}

// The file the VMS holds, its first size bytes, in whole blocks.
Result TakeBlocks(const std::string& vmsPath, std::uint32_t size,
                  std::vector<std::uint8_t>& blocks) {
  Result checked = CheckSize(size);
  if (checked) checked = ReadFile(vmsPath, size, message::kVmsMissing, blocks);
  if (!checked) return checked;
  if (blocks.size() < size) {
    return Result::Failure(Fill(message::kVmsTooShort, {vmsPath, std::to_string(size)}));
  }
  blocks.resize(size);
  FillLastBlock(blocks);
  return Result();
}

// The VMI's date as the card keeps it: in binary, as a VMI holds it, or else
// the card's own BCD stamp copied whole, as some tools wrote it. False when
// it is no date either way.
bool StampFrom(const std::uint8_t* vmi, std::uint8_t* stamp) {
  const std::uint8_t* date = vmi + kYear;
  card_format::Date binary;
  binary.year = card_format::GetLe16(date);
  binary.month = date[2];
  binary.day = date[3];
  binary.hour = date[4];
  binary.minute = date[5];
  binary.second = date[6];
  binary.weekday = card_format::MondayBased(date[7]);
  if (card_format::IsPossible(binary)) {
    card_format::ToStamp(binary, stamp);
    return true;
  }
  if (!card_format::IsPossibleStamp(date)) return false;
  std::memcpy(stamp, date, card_format::kStampLength);
  return true;
}

// The VMS the VMI names: its resource name (which holds only 8 bytes of a
// longer name) in the VMI's folder, with .VMS or .vms, whichever is there.
std::string VmsNamedBy(const std::string& vmiPath, const std::uint8_t* vmi) {
  std::string resource(reinterpret_cast<const char*>(vmi + kResource), CVmsFile::kResourceLength);
  resource.erase(std::min(resource.find('\0'), resource.size()));
  const std::string stem = Folder(vmiPath) + resource;
  for (const char* extension : {".VMS", ".vms", ".Vms"}) {
    if (IsThere(stem + extension)) return stem + extension;
  }
  return stem + ".VMS";
}

// The entry without its date.
void EntryFrom(const std::uint8_t* vmi, CVmuDirEntry& entry) {
  std::memset(entry.GetData(), 0, CVmuDirEntry::kLength);
  const std::uint16_t mode = card_format::GetLe16(vmi + kMode);
  const bool game = (mode & kGameMode) != 0;
  entry.SetType(game ? CVmuDirEntry::kGame : CVmuDirEntry::kData);
  entry.SetCopyProtect((mode & kProtectMode) != 0 ? card_format::kCopyProtected : 0);
  entry.SetFileName(reinterpret_cast<const char*>(vmi + kCardName));
  const std::uint32_t size = card_format::GetLe32(vmi + kFileSize);
  entry.SetSize(static_cast<std::uint16_t>(size / card_format::kBlockSize +
                                           (size % card_format::kBlockSize != 0 ? 1 : 0)));
  entry.SetHeaderOffset(game ? card_format::kGameHeaderBlock : card_format::kDataHeaderBlock);
}
}  // namespace

bool CVmsFile::IsPairName(const std::string& path) {
  return card_format::HasExtension(path, "vms") || IsVmiName(path);
}

bool CVmsFile::IsVmiName(const std::string& path) {
  return card_format::HasExtension(path, "vmi");
}

std::string CVmsFile::Companion(const std::string& path) {
  const std::string extension = Extension(path);
  std::string other = extension;
  other[2] = IsVmiName(path) ? 's' : 'i';
  if (extension[2] >= 'A' && extension[2] <= 'Z') other[2] = static_cast<char>(other[2] - 32);
  return path.substr(0, path.size() - extension.size()) + other;
}

std::string CVmsFile::Beside(const std::string& path) {
  const std::string stem = path.substr(0, path.size() - 3);
  const std::string other = IsVmiName(path) ? "vms" : "vmi";
  for (const std::string& candidate : {Companion(path), stem + other, stem + Upper(other)}) {
    if (IsThere(candidate)) return candidate;
  }
  return std::string();
}

CVmsFile::Vmi CVmsFile::Describe(const CVmuDirEntry& entry, const std::vector<std::uint8_t>& blocks,
                                 const std::string& resource) {
  Vmi vmi{};
  resource.copy(reinterpret_cast<char*>(vmi.data() + kResource), kResourceLength);
  for (std::size_t i = 0; i < 4; ++i)
    vmi[kChecksum + i] = vmi[kResource + i] & kChecksumMask[i];

  const bool game = entry.GetType() == CVmuDirEntry::kGame;
  const std::size_t header =
      std::size_t{game ? card_format::kGameHeaderBlock : card_format::kDataHeaderBlock} *
      card_format::kBlockSize;
  if (blocks.size() >= header + card_format::kBlockSize) {
    std::memcpy(vmi.data() + kDescription,
                blocks.data() + header + card_format::kHeaderLongDescription, kTextLength);
  }
  std::memset(vmi.data() + kCopyright, 0, kTextLength);

  const card_format::Date date = card_format::FromStamp(entry.GetData() + card_format::kEntryStamp);
  const unsigned fields[] = {date.month, date.day, date.hour, date.minute, date.second};
  card_format::PutLe16(vmi.data() + kYear, static_cast<std::uint16_t>(date.year));
  for (std::size_t i = 0; i < 5; ++i)
    vmi[kYear + 2 + i] = static_cast<std::uint8_t>(fields[i]);
  vmi[kYear + 7] = static_cast<std::uint8_t>(card_format::SundayBased(
      date.weekday <= 6 ? date.weekday : card_format::WeekdayOf(date.year, date.month, date.day)));
  card_format::PutLe16(vmi.data() + kVersion, 0);
  card_format::PutLe16(vmi.data() + kFileNumber, 1);
  entry.GetNameBytes().copy(reinterpret_cast<char*>(vmi.data() + kCardName),
                            CVmuDirEntry::kFileNameLength);
  card_format::PutLe16(vmi.data() + kMode, static_cast<std::uint16_t>(
                                               (game ? kGameMode : 0) |
                                               (entry.GetCopyProtect() != 0 ? kProtectMode : 0)));
  card_format::PutLe32(vmi.data() + kFileSize,
                       std::uint32_t{entry.GetSize()} * card_format::kBlockSize);
  return vmi;
}

Result CVmsFile::WritePair(const std::string& path, const CVmuDirEntry& entry,
                           const std::vector<std::uint8_t>& blocks) {
  const bool named = !IsVmiName(path);
  const std::string vms = named ? path : Companion(path);
  const std::string vmi = named ? Companion(path) : path;
  const Vmi description = Describe(entry, blocks, ResourceFor(vms));
  return WriteFilesReplacing(
      {{vms, blocks.data(), blocks.size()}, {vmi, description.data(), description.size()}});
}

std::string CVmsFile::ResourceFor(const std::string& path) {
  return Stem(path).substr(0, kResourceLength);
}

bool CVmsFile::NamesItsVms(const std::string& path) {
  return Stem(path).size() <= kResourceLength;
}

Result CVmsFile::ReadPair(const std::string& vmiPath, const std::string& vmsPath,
                          const std::uint8_t* now, CVmuDirEntry& entry,
                          std::vector<std::uint8_t>& blocks, bool* redated) {
  std::vector<std::uint8_t> vmi;
  const Result read = ReadFile(vmiPath, kVmiLength, message::kVmiUnreadable, vmi);
  if (!read) return read;
  if (vmi.size() != kVmiLength) return Result::Failure(message::kVmiWrongSize.text);
  if (!ChecksumPossible(vmi.data())) return Result::Failure(message::kVmiChecksum.text);
  EntryFrom(vmi.data(), entry);
  std::uint8_t* stamp = entry.GetData() + card_format::kEntryStamp;
  const bool dated = StampFrom(vmi.data(), stamp);
  if (!dated) std::memcpy(stamp, now, card_format::kStampLength);
  if (redated != nullptr) *redated = !dated;
  const std::uint32_t size = card_format::GetLe32(vmi.data() + kFileSize);
  return TakeBlocks(vmsPath.empty() ? VmsNamedBy(vmiPath, vmi.data()) : vmsPath, size, blocks);
}

Result CVmsFile::ReadAlone(const std::string& path, const std::uint8_t* stamp, CVmuDirEntry& entry,
                           std::vector<std::uint8_t>& blocks) {
  Result read = ReadFile(path, kLargestVms, message::kVmsMissing, blocks);
  if (!read) return read;
  std::error_code error;
  // Only the start of a longer file was read; the message gives its whole size.
  const std::uintmax_t size =
      blocks.size() > kLargestVms ? std::filesystem::file_size(path, error) : blocks.size();
  read = CheckSize(error ? blocks.size() : size);
  if (!read) return read;
  FillLastBlock(blocks);
  std::memset(entry.GetData(), 0, CVmuDirEntry::kLength);
  entry.SetType(CVmuDirEntry::kData);
  char name[CVmuDirEntry::kFileNameLength] = {};
  CardNameFor(path).copy(name, sizeof name);
  entry.SetFileName(name);
  std::memcpy(entry.GetData() + card_format::kEntryStamp, stamp, card_format::kStampLength);
  entry.SetSize(static_cast<std::uint16_t>(blocks.size() / card_format::kBlockSize));
  return Result();
}

std::string CVmsFile::CardNameFor(const std::string& path) {
  return Stem(path).substr(0, CVmuDirEntry::kFileNameLength);
}
