#include <gtest/gtest.h>

#include <ctime>
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

// The console stamps a file with the weekday counted from Monday = 0.
TEST(Timestamp, NowCountsTheWeekdayFromMonday) {
  const CVmuTimestamp now = CVmuTimestamp::Now();
  std::tm noon{};
  noon.tm_year = static_cast<int>(now.GetCentury() * 100 + now.GetYear()) - 1900;
  noon.tm_mon = static_cast<int>(now.GetMonth()) - 1;
  noon.tm_mday = static_cast<int>(now.GetDay());
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  ASSERT_NE(std::mktime(&noon), std::time_t(-1));
  const int fromMonday[] = {6, 0, 1, 2, 3, 4, 5};  // by the C library's day from Sunday
  EXPECT_EQ(now.GetData()[7], fromMonday[noon.tm_wday]);
}

}  // namespace
