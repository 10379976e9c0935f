#include "WireTrace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CardOnSimulator.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"

TEST(WireTrace, FileHoldsEveryAccessOfEachFinishedTransactionInOrder) {
  CScratchDirectory scratch;
  CCardOnSimulator sim;
  CVmuLink& link = sim.Link();
  std::unique_ptr<CWireTrace> trace;
  ASSERT_TRUE(Succeeded(CWireTrace::OpenFile(scratch.File("wire.txt"), false, trace)));
  link.SetTrace(std::move(trace));

  // Read while the link still runs.
  ASSERT_TRUE(link.SelectPage(1));
  const auto bytes = ReadBytes(scratch.File("wire.txt"));
  std::istringstream text(std::string(bytes.begin(), bytes.end()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);)
    lines.push_back(line);
  // Handshake: clock up, card ready, line raised, card answers; then the first
  // bit of 0x40 (a 0) and the card's first answer bit (0xA9 starts with a 1).
  const std::vector<std::string> opening = {"W 0 01", "R 1 40", "W 2 01", "R 1 00",
                                            "W 0 00", "W 0 01", "R 1 40"};
  ASSERT_EQ(lines.size(), 4u + 5 * 24 + 1);  // five exchanges of 24 accesses, and the release
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), opening);
  EXPECT_EQ(lines.back(), "W 2 00");

  const Result opened = CWireTrace::OpenFile(scratch.File("no/such/folder/wire.txt"), false, trace);
  EXPECT_FALSE(opened);
  EXPECT_NE(opened.Message().find("no/such/folder/wire.txt"), std::string::npos);
}
