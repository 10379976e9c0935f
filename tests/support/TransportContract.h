#pragma once

// What every card transport promises the card storage (see CardTransport.h),
// whatever carries it. A test program includes this once and instantiates
// the suite with a small factory per transport:
//   INSTANTIATE_TEST_SUITE_P(Roads, TransportContract, ::testing::Values(...), TransportName);

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CardFormat.h"
#include "CardTransport.h"

using PageBytes = std::vector<std::uint8_t>;

// A transport to a four-page card, with what it needs kept alive beside it.
struct TransportOnTest {
  std::shared_ptr<void> keep;
  CCardTransport* transport = nullptr;
  // What the card holds on a page now, in storage order.
  std::function<PageBytes(std::uint32_t page)> page;
};

struct TransportUnderTest {
  const char* name;
  // A card whose four pages hold these storage-order bytes.
  std::function<TransportOnTest(const PageBytes& pages)> make;
};

inline void PrintTo(const TransportUnderTest& tested, std::ostream* out) {
  *out << tested.name;
}
inline std::string TransportName(const ::testing::TestParamInfo<TransportUnderTest>& info) {
  return info.param.name;
}

class TransportContract : public ::testing::TestWithParam<TransportUnderTest> {
 protected:
  static constexpr std::uint32_t kPage = card_format::kPageSize;
  static constexpr std::uint32_t kBlock = card_format::kBlockSize;

  static PageBytes Pattern(std::size_t size, unsigned seed) {
    PageBytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
      bytes[i] = static_cast<std::uint8_t>(i * 13 + seed + (i >> 9) * 5 + (i >> 17));
    return bytes;
  }
  void SetUp() override {
    pages_ = Pattern(std::size_t{kPage} * 4, 1);
    made_ = GetParam().make(pages_);
    ASSERT_NE(made_.transport, nullptr);
  }
  CCardTransport& Transport() { return *made_.transport; }
  PageBytes Original(std::uint32_t page) const {
    return PageBytes(pages_.begin() + std::ptrdiff_t{page} * kPage,
                     pages_.begin() + std::ptrdiff_t{page + 1} * kPage);
  }

  PageBytes pages_;
  TransportOnTest made_;
};

// Blocks of the selected page only, in storage order, a run or one at a time.
TEST_P(TransportContract, ReadsAndWritesTheSelectedPagesBlocks) {
  EXPECT_EQ(Transport().GetPageCount(), 4u);
  ASSERT_TRUE(Transport().SelectPage(2));
  EXPECT_EQ(Transport().GetSelectedPage(), 2u);
  PageBytes run(13 * kBlock);
  ASSERT_TRUE(Transport().ReadBlocks(241, 13, run.data()));
  EXPECT_TRUE(std::equal(run.begin(), run.end(), Original(2).begin() + 241 * kBlock));

  const PageBytes block = Pattern(kBlock, 77);
  ASSERT_TRUE(Transport().WriteBlock(255, block.data()));
  PageBytes expected = Original(2);
  std::copy(block.begin(), block.end(), expected.end() - kBlock);
  EXPECT_TRUE(made_.page(2) == expected) << "the block is not on the card as written";
  EXPECT_TRUE(made_.page(1) == Original(1)) << "another page changed";
  PageBytes back(kBlock);
  ASSERT_TRUE(Transport().ReadBlocks(255, 1, back.data()));
  EXPECT_EQ(back, block);
  const Result failure = Transport().Failure(status::kTimeout);
  EXPECT_EQ(failure.Code(), status::kTimeout);
  EXPECT_EQ(failure.Message(), Transport().MessageFor(status::kTimeout));
}

// Backup and restore: the selected page in wire order, in the transport's steps.
TEST_P(TransportContract, ReadsAndWritesAWholePageInWireOrder) {
  ASSERT_TRUE(Transport().SelectPage(1));
  const std::uint32_t readStep = Transport().GetPageReadStep();
  const std::uint32_t writeStep = Transport().GetPageWriteStep();
  ASSERT_TRUE(readStep != 0 && writeStep != 0 && kPage % readStep == 0 && kPage % writeStep == 0);
  PageBytes wire(kPage);
  for (std::uint32_t offset = 0; offset < kPage; offset += readStep)
    ASSERT_TRUE(Transport().ReadPageBytes(offset, wire.data() + offset, readStep));
  PageBytes expected = Original(1);
  card_format::ReverseGroups(expected.data(), expected.size());
  EXPECT_TRUE(wire == expected) << "the page is not read in wire order";

  const PageBytes written = Pattern(kPage, 5);
  for (std::uint32_t offset = 0; offset < kPage; offset += writeStep)
    ASSERT_TRUE(Transport().WritePageBytes(offset, written.data() + offset, writeStep));
  expected = written;
  card_format::ReverseGroups(expected.data(), expected.size());
  EXPECT_TRUE(made_.page(1) == expected) << "the page is not written from wire order";
  EXPECT_TRUE(made_.page(0) == Original(0)) << "another page changed";
}
