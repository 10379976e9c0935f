#include "PortRoadChooser.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakePortSystem.h"
#include "NoPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {
constexpr std::uint32_t kShortTimeout = 20000;  // only a failing handshake waits it out

using Log = std::vector<std::string>;

Log LogSince(const CFakePortSystem& system, std::size_t from) {
  return Log(system.Log().begin() + static_cast<std::ptrdiff_t>(from), system.Log().end());
}
}  // namespace

TEST(PortRoadChooser, FollowsTheLinksPortFromDeviceToDevice) {
  CSimulatedCard first, second;
  CSimulatedPortRoad firstPort(first), secondPort(second);
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", firstPort);
  system.AddPort(1, "632\t0\n", secondPort);

  CVmuLink link(system.Chooser());
  link.SetDelayFactor(0);
  link.SetTimeout(kShortTimeout);
  ASSERT_EQ(link.GetPortAccess(), PortAccess::Ppdev);

  const std::size_t before = system.Log().size();
  link.SetPort(632);
  ASSERT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
  EXPECT_EQ(LogSince(system, before),
            (Log{"release parport0", "close parport0", "open parport1", "claim parport1"}));

  ASSERT_TRUE(link.SelectPage(3));
  EXPECT_EQ(second.GetSelectedPage(), 3u);
  EXPECT_EQ(first.GetCounters().transactions, 0u);
  EXPECT_EQ(system.RefusedAccesses(), 0);
}

TEST(PortRoadChooser, UsesThePortInstructionsOnlyWhereNoDeviceServesTheAddress) {
  CSimulatedCard card;
  CSimulatedPortRoad cardPort(card);
  CNoPortRoad nowhere;
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", nowhere);
  system.SetPortInstructions(0, &cardPort);
  {
    CVmuLink link(system.Chooser());
    EXPECT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
    EXPECT_THAT(system.Log(), Not(::testing::Contains(StartsWith("ioperm"))));

    link.SetPort(632);
    ASSERT_EQ(link.GetPortAccess(), PortAccess::Direct);
    EXPECT_EQ(link.GetPortProblem(), "");
    link.SetDelayFactor(0);
    link.SetTimeout(kShortTimeout);
    std::vector<std::uint8_t> unit(CVmuLink::kWriteUnit, 0x5A), back(unit.size());
    ASSERT_TRUE(link.Write(0x200, unit.data(), CVmuLink::kWriteUnit, true));
    ASSERT_TRUE(link.Read(0x200, back.data(), CVmuLink::kWriteUnit, true));
    EXPECT_EQ(back, unit);
    // Every instruction stayed on the three registers ioperm allowed.
    EXPECT_EQ(system.RefusedAccesses(), 0);
  }
  EXPECT_THAT(LogSince(system, system.Log().size() - 2),
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
  EXPECT_THAT(choice.problem, HasSubstr("0x278 (632)"));
  EXPECT_THAT(choice.problem, Not(HasSubstr("Direct")));

  system.SetPortInstructions(EIO, nullptr);
  choice = ChoosePortRoad(632, system.Calls());
  EXPECT_EQ(choice.road->GetAccess(), PortAccess::None);
  EXPECT_THAT(choice.problem, HasSubstr("0x278 (632)"));
  EXPECT_THAT(choice.problem,
              HasSubstr(std::string("Direct port access was refused too: ") + std::strerror(EIO)));

  system.SetPortInstructions(EPERM, nullptr);
  CVmuLink link(system.Chooser());
  link.SetTimeout(kShortTimeout);
  EXPECT_EQ(link.GetPortAccess(), PortAccess::None);
  EXPECT_THAT(link.GetPortProblem(), StartsWith("Permission denied opening "));
  EXPECT_THAT(link.GetPortProblem(), EndsWith("log out and in again."));
  std::uint8_t buffer[4];
  EXPECT_FALSE(link.Read(0, buffer, sizeof buffer, false));
  EXPECT_EQ(link.GetLastStatus(), status::kTimeout);

  // A port the kernel knows but will not hand over is never taken behind its
  // back, even where the port instructions would be allowed.
  CSimulatedCard card;
  CSimulatedPortRoad cardPort(card);
  system.SetPortInstructions(0, &cardPort);
  choice = ChoosePortRoad(888, system.Calls());
  EXPECT_EQ(choice.road->GetAccess(), PortAccess::None);
  EXPECT_THAT(choice.problem, StartsWith("Permission denied opening "));
  EXPECT_THAT(system.Log(), Not(::testing::Contains(StartsWith("ioperm 888"))));
}
