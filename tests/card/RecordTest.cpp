#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "VmuDirEntry.h"
#include "VmuFileHeader.h"
#include "VmuTimestamp.h"

namespace {

CVmuDirEntry EntryOf(std::vector<std::uint8_t> bytes) {
  bytes.resize(CVmuDirEntry::kLength, 0);
  CVmuDirEntry entry;
  entry.CopyFrom(bytes.data());
  return entry;
}

TEST(DirEntryRecord, FieldsReadTheirOwnBytes) {
  EXPECT_EQ(EntryOf({0x33, 0, 199, 0}).GetFirstBlock(), 199);
  EXPECT_EQ(EntryOf({0x33, 0, 44, 1}).GetFirstBlock(), 300);
  for (std::uint8_t type : {0x33, 0xCC, 0x00})
    EXPECT_EQ(EntryOf({type}).GetType(), type);

  std::vector<std::uint8_t> bytes(32);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(0x41 + i);
  const CVmuDirEntry entry = EntryOf(bytes);
  EXPECT_EQ(entry.GetCopyProtect(), 0x42);
  EXPECT_EQ(entry.GetSize(), 0x5A59);
  EXPECT_EQ(entry.GetHeaderOffset(), 0x5C5B);
  char name[13];
  std::memset(name, '#', sizeof name);
  entry.GetFileName(name);
  EXPECT_EQ(std::string(name), "EFGHIJKLMNOP");

  bytes[4 + 5] = 0;  // a zero inside the name ends the text, the rest is copied still
  EntryOf(bytes).GetFileName(name);
  EXPECT_EQ(std::string(name), "EFGHI");
  EXPECT_EQ(name[6], 'K');
  EXPECT_EQ(name[12], '\0');

  // CopyFrom takes exactly 32 bytes, whatever follows; a copy owns its bytes.
  const std::vector<std::uint8_t> longer(40, 0xAB);
  CVmuDirEntry copied = EntryOf({});
  copied.CopyFrom(longer.data());
  const CVmuDirEntry copy(copied);
  copied.SetType(0);
  EXPECT_EQ(std::vector<std::uint8_t>(copy.GetData(), copy.GetData() + 32),
            std::vector<std::uint8_t>(longer.begin(), longer.begin() + 32));
}

TEST(DirEntryRecord, EverySetterWritesWhatItsGetterReads) {
  CVmuDirEntry entry = EntryOf({});
  CVmuTimestamp stamp;
  const std::uint8_t stampBytes[] = {0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x58, 0x07};
  stamp.CopyFrom(stampBytes);
  entry.SetType(0xCC);
  entry.SetCopyProtect(0xFF);
  entry.SetFirstBlock(0x1234);
  entry.SetFileName("ABCDEFGHIJKLmore");
  entry.SetTimestamp(stamp);
  entry.SetSize(0x0203);
  entry.SetHeaderOffset(0x0405);

  const std::vector<std::uint8_t> expected = {
      0xCC, 0xFF, 0x34, 0x12, 'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  'I', 'J', 'K', 'L',
      0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x58, 0x07, 0x03, 0x02, 0x05, 0x04, 0,   0,   0,   0};
  EXPECT_EQ(std::vector<std::uint8_t>(entry.GetData(), entry.GetData() + 32), expected);
  CVmuTimestamp back;
  entry.GetTimestamp(back);
  EXPECT_EQ(0, std::memcmp(back.GetData(), stampBytes, 8));
}

TEST(TimestampRecord, DecodesEachByteAsTwoNibbles) {
  const std::uint8_t bytes[] = {0x20, 0x00, 0x05, 0x13, 0x14, 0x07, 0x09, 0x01};
  CVmuTimestamp stamp;
  stamp.CopyFrom(bytes);
  EXPECT_EQ(stamp.GetCentury(), 20u);
  EXPECT_EQ(stamp.GetYear(), 0u);
  EXPECT_EQ(stamp.GetMonth(), 5u);
  EXPECT_EQ(stamp.GetDay(), 13u);
  EXPECT_EQ(stamp.GetHour(), 14u);
  EXPECT_EQ(stamp.GetMinute(), 7u);
  EXPECT_EQ(stamp.GetSecond(), 9u);

  const std::uint8_t odd[] = {0x3A, 0xFF, 0x1A, 0, 0, 0, 0, 0};  // nibbles are not checked
  stamp.CopyFrom(odd);
  EXPECT_EQ(stamp.GetCentury(), 40u);
  EXPECT_EQ(stamp.GetYear(), 165u);
  EXPECT_EQ(stamp.GetMonth(), 20u);
}

TEST(FileHeaderRecord, DescriptionsComeFromTheirOffsets) {
  CVmuFileHeader header;
  std::vector<std::uint8_t> block(512);
  for (std::size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<std::uint8_t>('a' + i % 26);
  block[20] = 0x1A;  // text bytes are copied as they are
  header.CopyFrom(block.data());

  char shortText[17], longText[33], application[17];
  EXPECT_TRUE(header.GetShortDescription(shortText));
  EXPECT_TRUE(header.GetLongDescription(longText));
  EXPECT_TRUE(header.GetApplication(application));
  EXPECT_EQ(std::string(shortText), std::string(block.begin(), block.begin() + 16));
  EXPECT_EQ(std::string(longText), std::string(block.begin() + 16, block.begin() + 48));
  EXPECT_EQ(std::string(application), std::string(block.begin() + 48, block.begin() + 64));
}

}  // namespace
