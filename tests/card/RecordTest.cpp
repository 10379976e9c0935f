#include <gtest/gtest.h>

#include <vector>

#include "VmuDirEntry.h"
#include "VmuTimestamp.h"

// The timestamp's BCD decode and the header's descriptions are checked by the
// listing's worked example, which reads them from a card.
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(DirEntryRecord, FieldsLieAtTheirOffsetsLittleEndian) {
  const std::uint8_t stampBytes[] = {0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x58, 0x07};
  const Bytes layout = {0xCC, 0xFF, 0x34, 0x12, 'A',  'B',  'C',  'D',  'E',  'F',  'G',
                        'H',  'I',  'J',  'K',  'L',  0x19, 0x99, 0x12, 0x31, 0x23, 0x59,
                        0x58, 0x07, 0x03, 0x02, 0x05, 0x04, 0,    0,    0,    0};
  CVmuDirEntry entry;
  entry.CopyFrom(Bytes(32, 0).data());
  CVmuTimestamp stamp;
  stamp.CopyFrom(stampBytes);
  entry.SetType(0xCC);
  entry.SetCopyProtect(0xFF);
  entry.SetFirstBlock(0x1234);
  entry.SetFileName("ABCDEFGHIJKLmore");
  entry.SetTimestamp(stamp);
  entry.SetSize(0x0203);
  entry.SetHeaderOffset(0x0405);
  EXPECT_EQ(Bytes(entry.GetData(), entry.GetData() + 32), layout);

  // A copy owns its bytes. (The getters are read by the listing's tests.)
  const CVmuDirEntry copy(entry);
  entry.SetType(0);
  EXPECT_EQ(copy.GetType(), 0xCC);
}

}  // namespace
