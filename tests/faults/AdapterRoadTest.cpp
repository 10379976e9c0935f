// A real card image in a slot of the simulated USB adapter, reached through
// the adapter's transport, against the same image read as a file: the card
// commands must not tell the roads apart.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "AdapterTransport.h"
#include "FileCommands.h"
#include "ImageTransport.h"
#include "ManualClock.h"
#include "Messages.h"
#include "PageCommands.h"
#include "RealData.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "SimulatedAdapter.h"
#include "VmuCard.h"

namespace {
struct Listed {
  std::vector<std::string> entries;
  std::optional<std::uint16_t> freeBlocks;
  std::string backup;  // the DCM file's bytes
};

Listed ListAndBackUp(CVmuCard& card, const std::string& dcm) {
  CScriptedProgress progress;
  CScriptedUser user(&progress);
  FileListing listing;
  EXPECT_EQ(RefreshList(card, progress, user, listing, RowSink(), true), CommandResult::Done);
  Listed listed;
  for (const FileTexts& row : listing.rows)
    listed.entries.push_back(row.entryBytes + row.headerBytes);
  listed.freeBlocks = listing.freeBlocks;
  user.AnswerNextChoice(dcm);
  EXPECT_EQ(BackupPage(card, progress, user), CommandResult::Done);
  const std::vector<std::uint8_t> bytes = ReadBytes(dcm);
  listed.backup.assign(bytes.begin(), bytes.end());
  return listed;
}
}  // namespace

TEST(AdapterRoad, ListsAndBacksUpAsTheFileDoesAndHasOnePage) {
  KORVANTIS_NEED_REALDATA("images/ReadFiles_01.vmu");
  CScratchDirectory scratch;
  const std::string image = scratch.File("card.vmu");
  std::filesystem::copy_file(RealData("images/ReadFiles_01.vmu"), image);

  CSimulatedCard simulated;
  ASSERT_TRUE(Succeeded(simulated.OpenImage(image, ImageAccess::Read)));
  CVmuCard fileCard(std::make_unique<CImageTransport>(simulated));
  const Listed asFile = ListAndBackUp(fileCard, scratch.File("file.dcm"));
  ASSERT_FALSE(asFile.entries.empty());

  CManualClock clock;
  auto adapter = std::make_unique<CSimulatedAdapter>(clock);
  CSimulatedAdapter& slots = *adapter;
  slots.Connect();
  ASSERT_TRUE(Succeeded(slots.InsertImage({1, 2}, image, ImageAccess::Read)));
  CVmuCard usbCard(std::make_unique<CAdapterTransport>(std::move(adapter), clock, CardSlot{1, 2}));
  const Listed overUsb = ListAndBackUp(usbCard, scratch.File("usb.dcm"));
  EXPECT_EQ(overUsb.entries, asFile.entries);
  EXPECT_EQ(overUsb.freeBlocks, asFile.freeBlocks);
  EXPECT_EQ(overUsb.backup, asFile.backup);

  CScriptedUser user;
  EXPECT_EQ(SetPage(usbCard, 2, user), CommandResult::Failed);
  EXPECT_EQ(user.messages, std::vector<std::string>{message::kCardOnePage.text});
}

// A card pulled out while a block is written: the command's message names
// the block, and the next read of the card fails alike instead of waiting.
TEST(AdapterRoad, APulledCardEndsTheWriteWithTheBlockNamed) {
  CManualClock clock;
  auto adapter = std::make_unique<CSimulatedAdapter>(clock);
  CSimulatedAdapter& slots = *adapter;
  slots.InsertCard({0, 1}, std::vector<std::uint8_t>(card_format::kPageSize, 0));
  CAdapterTransport transport(std::move(adapter), clock, CardSlot{0, 1});
  slots.RemoveCard({0, 1});
  const std::vector<std::uint8_t> block(card_format::kBlockSize, 7);
  ASSERT_FALSE(transport.WriteBlock(200, block.data()));
  const std::string message = transport.MessageFor(transport.GetLastStatus());
  EXPECT_NE(message.find("Block 200"), std::string::npos) << message;
  std::vector<std::uint8_t> read(card_format::kBlockSize);
  EXPECT_FALSE(transport.ReadBlocks(0, 1, read.data()));
}
