#include <gtest/gtest.h>

#include <vector>

#include "ImageTransport.h"
#include "Messages.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "SimulatedPortRoad.h"
#include "TransportContract.h"
#include "VmuLink.h"

namespace {
using card_format::kPageSize;

// A simulated card over a four-page storage-order image; the pages are
// read back from the file, so that what a transport wrote is what it keeps.
struct ImageOnTest {
  CScratchDirectory scratch;
  CSimulatedCard card;
  std::unique_ptr<CCardTransport> transport;
};

TransportOnTest OnImage(const PageBytes& pages, bool wire) {
  auto image = std::make_shared<ImageOnTest>();
  const std::string path = image->scratch.File("card.bin");
  WriteBytes(path, pages);
  EXPECT_TRUE(Succeeded(image->card.OpenImage(path, ImageAccess::Write)));
  if (wire) {
    auto link = std::make_unique<CVmuLink>(std::make_unique<CSimulatedPortRoad>(image->card));
    link->SetDelayFactor(0);
    link->SetTimeout(2000);
    image->transport = std::move(link);
  } else {
    image->transport = std::make_unique<CImageTransport>(image->card);
  }
  TransportOnTest made{image, image->transport.get(), {}};
  made.page = [path](std::uint32_t page) {
    const PageBytes all = ReadBytes(path);
    return PageBytes(all.begin() + std::ptrdiff_t{page} * kPageSize,
                     all.begin() + std::ptrdiff_t{page + 1} * kPageSize);
  };
  return made;
}

INSTANTIATE_TEST_SUITE_P(
    Roads, TransportContract,
    ::testing::Values(
        TransportUnderTest{"Wire", [](const PageBytes& pages) { return OnImage(pages, true); }},
        TransportUnderTest{"File", [](const PageBytes& pages) { return OnImage(pages, false); }}),
    TransportName);

// A one-page image read without the wire: no second page, and a read-only
// image refuses a block with its reason; bytes off the page are refused.
TEST(ImageTransport, RefusesWhatTheImageCannotHold) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("one.vmu");
  WriteBytes(path, PageBytes(kPageSize, 0x5A));
  CSimulatedCard card;
  ASSERT_TRUE(Succeeded(card.OpenImage(path, ImageAccess::Read)));
  CImageTransport transport(card);
  const PageBytes block(512, 0x11);
  PageBytes back(1024);

  EXPECT_EQ(transport.GetPageCount(), 1u);
  EXPECT_FALSE(transport.SelectPage(1));
  EXPECT_EQ(transport.GetLastStatus(), status::kNotSupported);
  EXPECT_EQ(transport.GetSelectedPage(), 0u);
  EXPECT_FALSE(transport.ReadBlocks(255, 2, back.data()));
  EXPECT_FALSE(transport.WriteBlock(256, block.data()));
  EXPECT_FALSE(transport.WriteBlock(0, block.data()));
  EXPECT_EQ(transport.GetLastStatus(), status::kNotStored);
  EXPECT_EQ(transport.MessageFor(status::kNotStored),
            Fill(message::kNotStored, {CCardImageFile::ReadOnlyMessage(path)}));
  EXPECT_EQ(ReadBytes(path), PageBytes(kPageSize, 0x5A));
}

}  // namespace
