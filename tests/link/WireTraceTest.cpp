#include "WireTrace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TEST(WireTrace, RecordsEveryAccessInOrder) {
  CSimulatedCard card;
  CVmuLink link(std::make_unique<CSimulatedPortRoad>(card));
  link.SetDelayFactor(0);
  auto stream = std::make_unique<std::ostringstream>();
  auto* text = stream.get();
  link.SetTrace(std::make_unique<CWireTrace>(std::move(stream)));

  ASSERT_TRUE(link.SelectPage(1));
  const auto lines = Lines(text->str());
  // Handshake: clock up, card ready, line raised, card answers; then the first
  // bit of 0x40 (a 0) and the card's first answer bit (0xA9 starts with a 1).
  const std::vector<std::string> opening = {"W 0 01", "R 1 40", "W 2 01", "R 1 00",
                                            "W 0 00", "W 0 01", "R 1 40"};
  ASSERT_GE(lines.size(), opening.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), opening);
  EXPECT_EQ(lines.back(), "W 2 00");
  // Five exchanges of 24 accesses, plus the handshake and the release.
  EXPECT_EQ(lines.size(), 4u + 5 * 24 + 1);
}

TEST(WireTrace, FileHoldsEachFinishedTransactionWhileTheLinkRuns) {
  CScratchDirectory scratch;
  CSimulatedCard card;
  CVmuLink link(std::make_unique<CSimulatedPortRoad>(card));
  link.SetDelayFactor(0);
  std::string error;
  auto trace = CWireTrace::OpenFile(scratch.File("wire.txt"), error);
  ASSERT_TRUE(trace) << error;
  link.SetTrace(std::move(trace));

  ASSERT_TRUE(link.SelectPage(2));
  const auto lines = Lines(ReadFile(scratch.File("wire.txt")));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "W 2 00");

  EXPECT_FALSE(CWireTrace::OpenFile(scratch.File("no/such/folder/wire.txt"), error));
  EXPECT_NE(error.find("no/such/folder/wire.txt"), std::string::npos);
}
