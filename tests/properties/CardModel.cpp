#include "CardModel.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstring>

#include "CardOnSimulator.h"
#include "Messages.h"

namespace card_model {
namespace {
constexpr std::uint32_t kBlock = 512;
constexpr std::uint16_t kRoot = 255, kFat = 254, kDirectoryTop = 253, kDirectoryBottom = 241;
// A file header's fields.
constexpr std::uint32_t kIconCount = 0x40, kSpeed = 0x42, kEyecatch = 0x44, kChecksum = 0x46,
                        kDataSize = 0x48, kIcons = 0x80;
constexpr std::size_t kHeaderBlock = 26;  // the entry's field: which block holds the header

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
std::uint16_t Get16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
std::uint8_t Bcd(int value) {
  return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}
int FromBcd(std::uint8_t byte) {
  return (byte >> 4) * 10 + (byte & 0x0F);
}

std::size_t EntryAt(std::uint16_t slot) {
  return (kDirectoryTop - slot / 16) * kBlock + slot % 16 * 32u;
}

template <typename T>
void Shuffle(std::vector<T>& items, std::mt19937& rng) {
  for (std::size_t i = items.size(); i > 1; --i)
    std::swap(items[i - 1], items[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(i) - 1))]);
}

// Printable text of random length, then pad bytes (or a zero byte that ends it).
void Text(std::uint8_t* at, int length, std::uint8_t pad, std::mt19937& rng) {
  const int used = Pick(rng, 0, length);
  for (int i = 0; i < length; ++i)
    at[i] = i < used ? static_cast<std::uint8_t>(Pick(rng, 0x20, 0x7E)) : pad;
  if (used < length && Pick(rng, 0, 5) == 0) at[used] = 0;
}

std::string UpToZero(const std::uint8_t* at, std::size_t length) {
  const std::uint8_t* end = std::find(at, at + length, 0);
  return {at, end};
}

Card Formatted(std::uint32_t noise) {
  Card card;
  card.noise = noise;
  card.fat.fill(kFree);
  for (std::uint16_t b = kDirectoryTop; b > kDirectoryBottom; --b)
    card.fat[b] = static_cast<std::uint16_t>(b - 1);
  card.fat[kDirectoryBottom] = card.fat[kFat] = card.fat[kRoot] = kEnd;
  return card;
}

std::string Hex(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", unsigned{value});
  return text;
}

std::uint16_t Slot(const std::vector<std::uint16_t>& slots, std::mt19937& rng) {
  return slots[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(slots.size()) - 1))];
}
// A check's line about one file: its quoted name, then the fault.
std::string FileFault(const File& file, const Message& fault,
                      std::initializer_list<std::string> values) {
  return Fill(message::kCheckFileFault, {Quoted(file), Fill(fault, values)});
}
}  // namespace

std::string File::Shown() const {
  return UpToZero(entry.data() + kName, 12);
}

Walk Card::WalkFrom(std::uint32_t first) const {
  Walk walk;
  std::bitset<256> seen;
  for (std::uint32_t b = first;; b = fat[b]) {
    walk.stop = b;
    walk.end = b > kRoot ? End::OffPage : b >= kDirectoryBottom ? End::System : End::Loop;
    if (b >= kDirectoryBottom || seen[b]) return walk;
    seen.set(b);
    walk.blocks.push_back(static_cast<std::uint16_t>(b));
    walk.end = fat[b] == kEnd ? End::Last : End::Free;
    if (fat[b] == kEnd || fat[b] == kFree) return walk;
  }
}

bool Card::Sound(std::uint16_t slot) const {
  const File& file = files.at(slot);
  const Walk walk = WalkFrom(file.First());
  return walk.end == End::Last && walk.blocks.size() == file.Size();
}

std::uint16_t Card::FreeBlocks() const {
  return static_cast<std::uint16_t>(std::count(fat.begin(), fat.begin() + kUserBlocks, kFree));
}

Chain Card::FreeHighestFirst() const {
  Chain free;
  for (int b = kUserBlocks - 1; b >= 0; --b)
    if (fat[static_cast<std::size_t>(b)] == kFree) free.push_back(static_cast<std::uint16_t>(b));
  return free;
}

int Card::FreeSlot() const {
  for (std::uint16_t slot = 0; slot < kNewFileSlots; ++slot)
    if (files.count(slot) == 0) return slot;
  return -1;
}

bool Card::HasGame() const {
  return std::any_of(files.begin(), files.end(), [](const auto& f) { return f.second.Game(); });
}

void Card::Place(std::uint16_t slot, File file, const Chain& chain) {
  Put16(&file.entry[kFirst], chain[0]);
  for (std::size_t k = 0; k < chain.size(); ++k) {
    fat[chain[k]] = k + 1 < chain.size() ? chain[k + 1] : kEnd;
    leftovers.erase(chain[k]);
  }
  file.chain = chain;
  files[slot] = std::move(file);
}

void Card::Remove(std::uint16_t slot, const Chain& freed) {
  const File& file = files.at(slot);
  for (std::size_t k = 0; k < file.chain.size(); ++k)
    leftovers[file.chain[k]].assign(file.data.data() + k * kBlock,
                                    file.data.data() + (k + 1) * kBlock);
  for (const std::uint16_t b : freed)
    fat[b] = kFree;
  files.erase(slot);
}

std::string NewName(const Card& card, std::mt19937& rng) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
  for (;;) {
    std::string name;
    for (int i = Pick(rng, 1, 12); i > 0; --i)
      name += kChars[Pick(rng, 0, 36)];
    const bool taken = std::any_of(card.files.begin(), card.files.end(), [&](const auto& f) {
      return Quoted(f.second) == "\"" + name + "\"";
    });
    name.resize(12, Pick(rng, 0, 3) == 0 ? '\0' : ' ');
    if (!taken) return name;
  }
}

File MakeFile(std::mt19937& rng, bool game, std::uint16_t size, const std::string& name) {
  File file;
  file.entry.assign(32, 0);
  file.entry[kType] = game ? kGame : kData;
  const int protect = Pick(rng, 0, 7);  // copy-protected as the console marks it, or as others do
  file.entry[kProtect] = protect == 0 ? 0xFF : protect == 1 ? 0x80 : 0;
  std::copy(name.begin(), name.end(), file.entry.begin() + kName);
  const int stamp[8] = {Pick(rng, 19, 20), Pick(rng, 0, 99), Pick(rng, 1, 12), Pick(rng, 1, 28),
                        Pick(rng, 0, 23),  Pick(rng, 0, 59), Pick(rng, 0, 59), Pick(rng, 0, 6)};
  for (int i = 0; i < 8; ++i)
    file.entry[kStamp + static_cast<std::size_t>(i)] = Bcd(stamp[i]);
  Put16(&file.entry[kSize], size);
  file.entry[kHeaderBlock] = game ? 1 : 0;
  file.data.resize(size * kBlock);
  for (std::uint8_t& byte : file.data)
    byte = static_cast<std::uint8_t>(rng());
  const std::uint32_t header = game ? kBlock : 0;
  if (header + kBlock > file.data.size()) return file;
  std::uint8_t* at = file.data.data() + header;
  Text(at, 16, ' ', rng);
  Text(at + 16, 32, ' ', rng);
  Text(at + 48, 16, 0, rng);
  const int icons = Pick(rng, 0, std::min<int>(3, (size * kBlock - header - kIcons) / kBlock));
  Put16(at + kIconCount, static_cast<std::uint32_t>(icons));
  Put16(at + kSpeed, static_cast<std::uint32_t>(Pick(rng, 0, 20)));
  Put16(at + kEyecatch, 0);  // none
  Put16(at + kChecksum, 0);
  if (game) return file;
  // The data fill the file, as a console's save declares them.
  const std::uint32_t rest = size * kBlock - kIcons - static_cast<std::uint32_t>(icons) * kBlock;
  Put16(at + kDataSize, rest & 0xFFFF);
  Put16(at + kDataSize + 2, rest >> 16);
  if (Pick(rng, 0, 3) != 0) Put16(at + kChecksum, Crc(file.data));
  return file;
}

Card Generate(std::uint32_t seed) {
  std::mt19937 rng(seed);
  Card card = Formatted(seed);
  if (Pick(rng, 0, 2) == 0) {
    Chain chain(static_cast<std::size_t>(Pick(rng, 1, 40)));
    for (std::size_t k = 0; k < chain.size(); ++k)
      chain[k] = static_cast<std::uint16_t>(k);
    const auto size = static_cast<std::uint16_t>(chain.size());
    card.Place(0, MakeFile(rng, true, size, NewName(card, rng)), chain);
  }
  for (int step = Pick(rng, 3, 40); step > 0; --step) {
    std::vector<std::uint16_t> data;
    for (const auto& [slot, file] : card.files)
      if (!file.Game()) data.push_back(slot);
    if (!data.empty() && Pick(rng, 0, 3) == 0) {
      const std::uint16_t slot = Slot(data, rng);
      card.Remove(slot, card.files.at(slot).chain);
      continue;
    }
    const auto size = static_cast<std::uint16_t>(Pick(rng, 1, Pick(rng, 0, 4) == 0 ? 40 : 12));
    Chain free = card.FreeHighestFirst();
    if (free.size() < size) continue;
    if (Pick(rng, 0, 7) == 0) Shuffle(free, rng);  // another tool's order
    free.resize(size);
    int slot = card.FreeSlot();
    if (Pick(rng, 0, 9) == 0) {  // the last slots, past the root's count too
      std::vector<std::uint16_t> last;
      for (std::uint16_t s = kSlots - 12; s < kSlots; ++s)
        if (card.files.count(s) == 0) last.push_back(s);
      if (!last.empty()) slot = Slot(last, rng);
    }
    if (slot < 0) continue;
    card.Place(static_cast<std::uint16_t>(slot), MakeFile(rng, false, size, NewName(card, rng)),
               free);
  }
  return card;
}

std::vector<std::string> Damage(Card& card, Harm harm, std::mt19937& rng) {
  std::vector<std::uint16_t> all, data;
  for (const auto& [slot, file] : card.files) {
    all.push_back(slot);
    if (!file.Game()) data.push_back(slot);
  }
  const auto pair = [&](const std::vector<std::uint16_t>& from, std::uint16_t& a,
                        std::uint16_t& b) {
    a = b = Slot(from, rng);
    while (b == a)
      b = Slot(from, rng);
  };
  File* file = all.empty() ? nullptr : &card.files.at(Slot(all, rng));
  const auto setLast = [&](std::uint16_t value) { card.fat[file->chain.back()] = value; };
  switch (harm) {
    case Harm::Size:
      if (file == nullptr) break;
      {
        const std::size_t length = file->chain.size();
        const std::size_t size = length > 1 && Pick(rng, 0, 1) == 0
                                     ? length - 1
                                     : length + static_cast<std::size_t>(Pick(rng, 1, 3));
        Put16(&file->entry[kSize], static_cast<std::uint32_t>(size));
        return {FileFault(*file, message::kChainSizeDisagrees,
                          {BlocksText(size), std::to_string(length)})};
      }
    case Harm::Loop:
      if (file == nullptr) break;
      {
        const std::uint16_t back = file->chain[static_cast<std::size_t>(
            Pick(rng, 0, static_cast<int>(file->chain.size()) - 1))];
        setLast(back);
        return {FileFault(*file, message::kChainLoops, {std::to_string(back)})};
      }
    case Harm::OffPage:
    case Harm::System:
      if (file == nullptr) break;
      {
        const int to =
            harm == Harm::System ? Pick(rng, kDirectoryBottom, kRoot) : Pick(rng, 256, kEnd - 1);
        setLast(static_cast<std::uint16_t>(to));
        return {FileFault(
            *file, harm == Harm::System ? message::kChainEntersSystem : message::kChainLeavesPage,
            {std::to_string(to)})};
      }
    case Harm::FreeBlock:
      if (file == nullptr) break;
      setLast(kFree);
      return {FileFault(*file, message::kChainOverFreeBlock, {std::to_string(file->chain.back())})};
    case Harm::Shared:
      if (data.size() < 2) break;
      {
        // a's last block leads into b's chain at j: a runs on to b's end.
        std::uint16_t a = 0, b = 0;
        pair(data, a, b);
        const File &first = card.files.at(a), &second = card.files.at(b);
        const auto j =
            static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(second.chain.size()) - 1));
        card.fat[first.chain.back()] = second.chain[j];
        std::vector<std::string> lines = {
            FileFault(first, message::kChainSizeDisagrees,
                      {BlocksText(first.Size()),
                       std::to_string(first.chain.size() + second.chain.size() - j)})};
        const File& later = card.files.at(std::max(a, b));
        for (std::size_t k = j; k < second.chain.size(); ++k)
          lines.push_back(
              Fill(message::kCheckSharedBlock, {Quoted(later), std::to_string(second.chain[k])}));
        return lines;
      }
    case Harm::DuplicateName:
      if (all.size() < 2) break;
      {
        std::uint16_t a = 0, b = 0;
        pair(all, a, b);
        std::copy_n(card.files.at(a).entry.begin() + kName, 12,
                    card.files.at(b).entry.begin() + kName);
        return {Fill(message::kCheckDuplicateName, {Quoted(card.files.at(std::max(a, b)))})};
      }
    case Harm::Checksum:
      if (data.empty()) break;
      {
        File& save = card.files.at(Slot(data, rng));
        std::uint16_t stored = Get16(&save.data[kChecksum]);
        if (stored == 0) stored = Crc(save.data) ^ 0x5A5A;
        Put16(&save.data[kChecksum], stored);
        save.data[static_cast<std::size_t>(
            Pick(rng, kIcons, static_cast<int>(save.data.size()) - 1))] ^=
            static_cast<std::uint8_t>(Pick(rng, 1, 255));
        return {
            Fill(message::kCheckWrongChecksum, {Quoted(save), Hex(stored), Hex(Crc(save.data))})};
      }
    case Harm::SystemChain: {
      const std::uint16_t block = Pick(rng, 0, 1) == 0 ? kRoot : kFat;
      std::uint16_t to = kEnd;
      while (to == kEnd)
        to = static_cast<std::uint16_t>(rng());
      card.fat[block] = to;
      return {Fill(message::kCheckSystemChain, {std::to_string(block), std::to_string(to)})};
    }
    case Harm::Unnamed:
    case Harm::kCount:
      break;
  }
  Chain free = card.FreeHighestFirst();
  if (free.empty()) return Damage(card, Harm::SystemChain, rng);
  Shuffle(free, rng);
  free.resize(
      static_cast<std::size_t>(Pick(rng, 1, std::min<int>(3, static_cast<int>(free.size())))));
  std::sort(free.begin(), free.end());
  std::string list;
  for (const std::uint16_t b : free) {
    card.fat[b] = kEnd;
    list += (list.empty() ? "" : ", ") + std::to_string(b);
  }
  if (free.size() == 1) return {Fill(message::kCheckUnnamedBlock, {list})};
  return {Fill(message::kCheckUnnamedBlocks, {std::to_string(free.size()), list})};
}

CPageImage Render(const Card& card) {
  CPageImage image = NoisePage(card.noise);
  std::uint8_t* page = image.GetData();
  for (const auto& [b, bytes] : card.leftovers)
    std::copy(bytes.begin(), bytes.end(), page + b * kBlock);
  for (const auto& [slot, file] : card.files)
    for (std::size_t k = 0; k < file.chain.size(); ++k)
      std::copy_n(file.data.data() + k * kBlock, kBlock, page + file.chain[k] * kBlock);
  std::uint8_t* root = page + kRoot * kBlock;
  std::fill_n(root, kBlock, 0);
  std::fill_n(root, 16, 0x55);  // formatted
  const std::uint8_t stamp[8] = {0x20, 0x01, 0x09, 0x09, 0x12, 0x00, 0x00, 0x06};
  std::copy_n(stamp, 8, root + 0x30);
  const std::pair<std::uint32_t, std::uint32_t> fields[] = {
      {64, 255}, {68, kRoot},         {70, kFat}, {72, 1},  {74, kDirectoryTop},
      {76, 13},  {80, kNewFileSlots}, {82, 31},   {86, 128}};
  for (const auto& [offset, value] : fields)
    Put16(root + offset, value);
  for (std::uint32_t b = 0; b < 256; ++b)
    Put16(page + kFat * kBlock + 2 * b, card.fat[b]);
  std::fill(page + kDirectoryBottom * kBlock, page + (kDirectoryTop + 1) * kBlock, 0);
  for (const auto& [slot, file] : card.files)
    std::copy(file.entry.begin(), file.entry.end(), page + EntryAt(slot));
  return image;
}

Card Read(const CPageImage& image) {
  Card card;
  const std::uint8_t* page = image.GetData();
  for (std::uint32_t b = 0; b < 256; ++b)
    card.fat[b] = Get16(page + kFat * kBlock + 2 * b);
  for (std::uint16_t slot = 0; slot < kSlots; ++slot) {
    const std::uint8_t* at = page + EntryAt(slot);
    if (at[0] == 0) continue;
    File file;
    file.entry.assign(at, at + 32);
    file.chain = card.WalkFrom(file.First()).blocks;
    for (const std::uint16_t b : file.chain)
      file.data.insert(file.data.end(), page + b * kBlock, page + (b + 1) * kBlock);
    card.files[slot] = std::move(file);
  }
  return card;
}

std::string FirstDifference(const CPageImage& actual, const CPageImage& expected) {
  for (std::uint32_t b = 0; b < 256; ++b)
    if (!std::equal(actual.GetData() + b * kBlock, actual.GetData() + (b + 1) * kBlock,
                    expected.GetData() + b * kBlock))
      return "block " + std::to_string(b);
  return "";
}

Bytes Dci(const File& file) {
  Bytes bytes = file.entry;
  for (std::size_t i = 0; i < file.data.size(); ++i)
    bytes.push_back(file.data[i ^ 3]);  // each group of four reversed
  return bytes;
}

Bytes Vmi(const File& file, const std::string& resource) {
  Bytes vmi(kVmiLength, 0);
  static const std::uint8_t kMask[] = {0x53, 0x45, 0x47, 0x41};  // the checksum's mask
  for (std::size_t i = 0; i < 8 && i < resource.size(); ++i)
    vmi[kVmiResource + i] = static_cast<std::uint8_t>(resource[i]);
  for (std::size_t i = 0; i < 4; ++i)
    vmi[i] = static_cast<std::uint8_t>(vmi[kVmiResource + i] & kMask[i]);
  const std::uint8_t* stamp = &file.entry[kStamp];
  Put16(&vmi[kVmiDate], static_cast<std::uint32_t>(FromBcd(stamp[0]) * 100 + FromBcd(stamp[1])));
  for (std::size_t i = 2; i < 7; ++i)
    vmi[kVmiDate + i] = static_cast<std::uint8_t>(FromBcd(stamp[i]));
  // The card's week starts on Monday, the VMI's on Sunday.
  static const std::string kCardWeek = "MoTuWeThFrSaSu", kVmiWeek = "SuMoTuWeThFrSa";
  const std::string day = kCardWeek.substr(std::size_t{stamp[7]} * 2, 2);
  vmi[kVmiDate + 7] = static_cast<std::uint8_t>(kVmiWeek.find(day) / 2);
  Put16(&vmi[kVmiNumber], 1);
  std::copy_n(file.entry.begin() + kName, 12, vmi.begin() + kVmiName);
  Put16(&vmi[kVmiMode], (file.Game() ? 2u : 0u) | (file.entry[kProtect] != 0 ? 1u : 0u));
  const std::uint32_t bytes = file.Size() * kBlock;
  Put16(&vmi[kVmiSize], bytes & 0xFFFF);
  Put16(&vmi[kVmiSize + 2], bytes >> 16);
  return vmi;
}

std::array<std::string, 3> HeaderTexts(const File& file) {
  const std::size_t header = file.Game() ? kBlock : 0;
  if (header + kBlock > file.data.size()) return {};
  const std::uint8_t* at = file.data.data() + header;
  return {UpToZero(at, 16), UpToZero(at + 16, 32), UpToZero(at + 48, 16)};
}

std::uint16_t Crc(Bytes data) {
  data[kChecksum] = data[kChecksum + 1] = 0;
  std::uint32_t crc = 0;
  for (const std::uint8_t byte : data) {
    crc ^= std::uint32_t{byte} << 8;
    for (int bit = 0; bit < 8; ++bit)
      crc = ((crc << 1) ^ ((crc & 0x8000) != 0 ? 0x1021 : 0)) & 0xFFFF;
  }
  return static_cast<std::uint16_t>(crc);
}

std::string Quoted(const File& file) {
  std::string name = file.Shown();
  return "\"" + name.erase(name.find_last_not_of(' ') + 1) + "\"";
}

std::string BlocksText(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " block" : " blocks");
}
}  // namespace card_model
