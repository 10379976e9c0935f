#include "PortRoadChooser.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeCounter.h"
#include "FakePortSystem.h"
#include "LinkSettings.h"
#include "NoPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Moving between ppdev devices is tested with the ppdev road.
TEST(PortRoadChooser, UsesThePortInstructionsOnlyWhereNoDeviceServesTheAddress) {
  CSimulatedCard card;
  CSimulatedPortRoad cardPort(card);
  CNoPortRoad nowhere;
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", nowhere);
  system.SetPortInstructions(0, &cardPort);
  {
    CVmuLink link(system.Chooser());
    link.SetPort(888);
    EXPECT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
    EXPECT_THAT(system.Log(), Not(Contains(StartsWith("ioperm"))));

    link.SetPort(632);
    ASSERT_EQ(link.GetPortAccess(), PortAccess::Direct);
    EXPECT_TRUE(link.GetPortProblem().Ok());
    link.SetDelayFactor(0);
    link.SetTimeout(20000);
    std::vector<std::uint8_t> unit(CVmuLink::kWriteUnit, 0x5A), back(unit.size());
    ASSERT_TRUE(link.Write(0x200, unit.data(), CVmuLink::kWriteUnit, true));
    ASSERT_TRUE(link.Read(0x200, back.data(), CVmuLink::kWriteUnit, true));
    EXPECT_EQ(back, unit);
    // Every instruction stayed on the three registers ioperm allowed.
    EXPECT_EQ(system.RefusedAccesses(), 0);
  }
  EXPECT_THAT(std::vector<std::string>(system.Log().end() - 2, system.Log().end()),
              ElementsAre("ioperm 632 3 1", "ioperm 632 3 0"));
}

TEST(PortRoadChooser, FallsBackToNoAccessWithTheReasonThatHelps) {
  CNoPortRoad nowhere;
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", nowhere);
  system.FailOpen(0, EACCES);
  system.SetPortInstructions(EPERM, nullptr);

  // Without root the port instructions are always refused: saying so adds nothing.
  PortRoadChoice choice = ChoosePortRoad(632, system.Calls());
  EXPECT_EQ(choice.road->GetAccess(), PortAccess::None);
  EXPECT_THAT(choice.problem.Message(), HasSubstr("0x278 (632)"));
  EXPECT_THAT(choice.problem.Message(), Not(HasSubstr("Direct")));

  system.SetPortInstructions(EIO, nullptr);
  choice = ChoosePortRoad(632, system.Calls());
  EXPECT_THAT(choice.problem.Message(), HasSubstr("0x278 (632)"));
  EXPECT_THAT(choice.problem.Message(),
              HasSubstr(std::string("Direct port access was refused too: ") + std::strerror(EIO)));

  // A port the kernel knows but will not hand over is never taken behind its
  // back, even where the port instructions would be allowed.
  CSimulatedCard card;
  CSimulatedPortRoad cardPort(card);
  system.SetPortInstructions(0, &cardPort);
  choice = ChoosePortRoad(888, system.Calls());
  EXPECT_EQ(choice.road->GetAccess(), PortAccess::None);
  EXPECT_THAT(choice.problem.Message(), StartsWith("Permission denied opening "));
  EXPECT_THAT(system.Log(), Not(Contains(StartsWith("ioperm 888"))));
}

// The road is claimed once, for the port finally named, and a link without
// one fails every transfer at once, however long its timeout.
TEST(PortRoadChooser, ChoosesOnceForTheFinalPortAndNoRoadMeansNoWait) {
  std::vector<std::uint16_t> asked;
  CFakeCounter counter(1000000, 1);
  CVmuLink link(
      [&asked](std::uint16_t base) {
        asked.push_back(base);
        return PortRoadChoice{std::make_unique<CNoPortRoad>(),
                              Result::Failure("No parallel port here.")};
      },
      counter);
  link.SetTimeout(TimeoutMicroseconds(4294));
  EXPECT_TRUE(asked.empty());
  ApplyLinkSettings(LinkSettings{0x3BC, 4294, 0}, link);
  EXPECT_EQ(asked, std::vector<std::uint16_t>{0x3BC});
  EXPECT_EQ(link.GetPortProblem().Message(), "No parallel port here.");

  std::vector<std::uint8_t> bytes(CVmuLink::kWriteUnit);
  EXPECT_FALSE(link.Read(0, bytes.data(), 4, false));
  EXPECT_FALSE(link.Write(0, bytes.data(), CVmuLink::kWriteUnit, false));
  EXPECT_FALSE(link.SelectPage(1));
  EXPECT_EQ(link.GetLastStatus(), status::kTimeout);
  EXPECT_EQ(counter.Reads(), 0);  // no wait was ever begun
}
