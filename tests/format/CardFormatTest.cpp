#include "CardFormat.h"
#include "RealData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadRealFile(const std::string& name) {
  std::ifstream in(RealData("vms/" + name), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Real saves carry the checksum their games computed; it covers the header,
// the icon frames and the data, not the padding of the last block.
TEST(CardFormat, Crc16MatchesTheChecksumsOfRealSaves) {
  for (const char* name : {"IKARUGA.VMS", "v93102.VMS"}) {
    KORVANTIS_NEED_REALDATA(std::string("vms/") + name);
    std::vector<std::uint8_t> file = ReadRealFile(name);
    const std::uint8_t* header = file.data();
    const std::uint32_t end =
        card_format::kHeaderIcons +
        card_format::GetLe16(header + card_format::kHeaderIconCount) * card_format::kIconFrameSize +
        card_format::GetLe32(header + card_format::kHeaderDataSize);
    ASSERT_LE(end, file.size()) << name;
    const std::uint16_t stored = card_format::GetLe16(header + card_format::kHeaderChecksum);
    file[card_format::kHeaderChecksum] = file[card_format::kHeaderChecksum + 1] = 0;
    EXPECT_EQ(card_format::Crc16(file.data(), end), stored) << name;
  }
}

// A card image's kind is its name's extension in any case; a name that only
// holds one further back, or in a folder's name, is none.
TEST(CardFormat, ImagesAreKnownByTheirExtensionInAnyCase) {
  using card_format::ByteOrder;
  const struct {
    const char* name;
    bool image;
    ByteOrder order;
  } names[] = {{"SONIC.VMU", true, ByteOrder::Storage}, {"dump.vmd", true, ByteOrder::Storage},
               {"a/B.Vmd", true, ByteOrder::Storage},   {"card.bin", true, ByteOrder::Storage},
               {"BACKUP.DCM", true, ByteOrder::Wire},   {"x.vmu.txt", false, ByteOrder::Wire},
               {"vmu", false, ByteOrder::Wire},         {"old.vmd/card", false, ByteOrder::Wire},
               {"SAVE.DCI", false, ByteOrder::Wire}};
  for (const auto& name : names) {
    ByteOrder order = ByteOrder::Wire;
    EXPECT_EQ(card_format::ImageOrderFor(name.name, order), name.image) << name.name;
    EXPECT_EQ(order, name.order) << name.name;
  }
}

}  // namespace
