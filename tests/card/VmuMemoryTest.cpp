#include "VmuMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "StatusCodes.h"

namespace {

using Words = std::vector<std::string>;
constexpr std::uint32_t kBlock = card_format::kBlockSize;

// A cache of its own over the fixture's link, whose status bytes a test may spoil.
class TestCache : public CVmuMemory {
 public:
  using CVmuMemory::CVmuMemory;
  void SetStatus(std::uint32_t block, std::uint8_t value) {
    status_[block] = static_cast<BlockStatus>(value);
  }
};

class CacheOverSimulator : public ::testing::Test {
 protected:
  CacheOverSimulator() { sim_.LoadPage(page_); }
  const std::uint8_t* CardBytes(std::uint32_t address) const { return page_.GetData() + address; }
  CardFaults& Faults() { return sim_.Sim().Faults(); }

  CPageImage page_ = NoisePage(1);
  CCardOnSimulator sim_;
  TestCache cache_{256, sim_.Card().GetLink()};
  const std::uint8_t* out_ = nullptr;
  const std::vector<std::uint8_t> data_ = std::vector<std::uint8_t>(kBlock, 0x42);
};

TEST_F(CacheOverSimulator, ReadFetchesEveryBlockItTouchesOnce) {
  ASSERT_TRUE(cache_.Read(510, out_, 4, false));
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R0", "R1"}));
  EXPECT_EQ(0, std::memcmp(out_, CardBytes(510), 4));
  ASSERT_TRUE(cache_.Read(0, out_, 1024, false));  // both clean: nothing crosses
  EXPECT_TRUE(sim_.TakeTransfers().empty());
  ASSERT_TRUE(cache_.Read(512, out_, 2, true));
  ASSERT_TRUE(cache_.Read(131072 - 8, out_, 8, false));  // ends exactly at the page's end
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R1", "R255"}));
  EXPECT_EQ(0, std::memcmp(out_, CardBytes(131064), 8));

  // Zero-length transfers load and mark nothing, at either end of the page.
  for (std::uint32_t address : {0u, 5 * kBlock, 131072u}) {
    ASSERT_TRUE(cache_.Read(address, out_, 0, false)) << address;
    ASSERT_TRUE(cache_.Write(address, data_.data(), 0, false)) << address;
  }
  EXPECT_TRUE(sim_.TakeTransfers().empty());
  EXPECT_EQ(cache_.GetBlockStatus(0), CVmuMemory::BlockStatus::Clean);
  EXPECT_EQ(cache_.GetBlockStatus(5), CVmuMemory::BlockStatus::NotLoaded);
  EXPECT_EQ(cache_.GetBlockStatus(255), CVmuMemory::BlockStatus::Clean);
}

TEST_F(CacheOverSimulator, RangesOutsideThePageAreRefusedBeforeAnyTransfer) {
  struct Range {
    std::uint32_t address, size;
  };
  // The last two wrap to a small address in 32 bits.
  for (const Range range : {Range{131072 - 8, 9}, Range{131072, 1}, Range{0xFFFFFFF0u, 0x10},
                            Range{0xFFFFFE00u, 0x400}}) {
    const std::uint8_t* untouched = nullptr;
    EXPECT_FALSE(cache_.Read(range.address, untouched, range.size, false)) << range.address;
    EXPECT_EQ(cache_.GetLastError(), status::kCacheReadAddress);
    EXPECT_EQ(untouched, nullptr);
    EXPECT_FALSE(cache_.Write(range.address, data_.data(), range.size, false)) << range.address;
    EXPECT_EQ(cache_.GetLastError(), status::kCacheWriteAddress);
  }
  EXPECT_TRUE(sim_.TakeTransfers().empty());
  for (std::uint32_t block = 0; block < 256; ++block)
    ASSERT_EQ(cache_.GetBlockStatus(block), CVmuMemory::BlockStatus::NotLoaded) << block;
}

TEST_F(CacheOverSimulator, WritesMarkOnlyTheBlocksTheyCover) {
  ASSERT_TRUE(cache_.Write(1024, data_.data(), 512, false));
  ASSERT_TRUE(cache_.Write(15 * kBlock + 480, data_.data(), 32, false));
  for (std::uint32_t block = 0; block < 256; ++block) {
    const bool dirty = block == 2 || block == 15;
    EXPECT_EQ(cache_.GetBlockStatus(block),
              dirty ? CVmuMemory::BlockStatus::Dirty : CVmuMemory::BlockStatus::NotLoaded)
        << block;
  }
  EXPECT_TRUE(sim_.TakeTransfers().empty());  // nothing fetched first, nothing stored yet
}

TEST_F(CacheOverSimulator, ForcedReadAndInvalidateDropAChangeUnwritten) {
  ASSERT_TRUE(cache_.Read(4 * kBlock, out_, 4, false));
  ASSERT_TRUE(cache_.Write(4 * kBlock, data_.data(), 4, false));
  ASSERT_TRUE(cache_.Read(4 * kBlock, out_, 4, true));
  EXPECT_EQ(cache_.GetBlockStatus(4), CVmuMemory::BlockStatus::Clean);
  EXPECT_EQ(0, std::memcmp(out_, CardBytes(4 * kBlock), 4));

  ASSERT_TRUE(cache_.Write(4 * kBlock, data_.data(), 4, false));
  EXPECT_TRUE(cache_.Invalidate());
  EXPECT_EQ(cache_.GetBlockStatus(4), CVmuMemory::BlockStatus::NotLoaded);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R4", "R4"}));
  ASSERT_TRUE(cache_.Read(4 * kBlock, out_, 4, false));
  EXPECT_EQ(0, std::memcmp(out_, CardBytes(4 * kBlock), 4));
  EXPECT_TRUE(cache_.Flush());
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"R4"}));
}

TEST_F(CacheOverSimulator, FlushStopsAtTheFirstFailedStoreAndRetriesLater) {
  for (std::uint32_t block : {3u, 7u, 9u}) {
    const std::vector<std::uint8_t> bytes(kBlock, static_cast<std::uint8_t>(block));
    ASSERT_TRUE(cache_.Write(block * kBlock, bytes.data(), kBlock, false));
  }
  sim_.Sim().ResetCounters();
  Faults().silentAfter = 4;  // block 3's four units get through
  EXPECT_FALSE(cache_.Flush());
  EXPECT_EQ(cache_.GetLastError(), status::kTimeout);
  EXPECT_EQ(cache_.GetBlockStatus(3), CVmuMemory::BlockStatus::Clean);
  EXPECT_EQ(cache_.GetBlockStatus(7), CVmuMemory::BlockStatus::Dirty);
  EXPECT_EQ(cache_.GetBlockStatus(9), CVmuMemory::BlockStatus::Dirty);
  Words expected = CCardOnSimulator::BlockStore(3);
  expected.push_back("-");
  EXPECT_EQ(sim_.TakeTransfers(), expected);

  Faults().silentAfter = -1;
  EXPECT_TRUE(cache_.Flush());
  expected = CCardOnSimulator::BlockStore(7);
  for (const auto& word : CCardOnSimulator::BlockStore(9))
    expected.push_back(word);
  EXPECT_EQ(sim_.TakeTransfers(), expected);
  for (std::uint32_t block : {3u, 7u, 9u})
    EXPECT_EQ(sim_.ReadPage().GetData()[block * kBlock + 511], block) << block;
  EXPECT_TRUE(cache_.Flush());  // nothing dirty is left
  EXPECT_TRUE(sim_.TakeTransfers().empty());
}

TEST_F(CacheOverSimulator, FailedLoadLeavesTheBlockAsItWas) {
  Faults().noCard = true;
  EXPECT_FALSE(cache_.Read(510, out_, 4, false));
  EXPECT_EQ(cache_.GetLastError(), status::kTimeout);
  EXPECT_EQ(cache_.GetBlockStatus(0), CVmuMemory::BlockStatus::NotLoaded);

  // A failure in the second block keeps the first one loaded.
  Faults().noCard = false;
  sim_.Sim().ResetCounters();
  Faults().silentAfter = 1;
  EXPECT_FALSE(cache_.Read(510, out_, 4, false));
  EXPECT_EQ(cache_.GetBlockStatus(0), CVmuMemory::BlockStatus::Clean);
  EXPECT_EQ(cache_.GetBlockStatus(1), CVmuMemory::BlockStatus::NotLoaded);
  EXPECT_EQ(sim_.TakeTransfers(), (Words{"-", "R0", "-"}));

  cache_.SetStatus(6, 3);
  EXPECT_FALSE(cache_.Read(6 * kBlock, out_, 4, false));
  EXPECT_EQ(cache_.GetLastError(), status::kCacheStatus);
  EXPECT_TRUE(sim_.TakeTransfers().empty());
}

}  // namespace
