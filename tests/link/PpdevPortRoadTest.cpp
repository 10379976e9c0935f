#include "PpdevPortRoad.h"

#include <cerrno>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakePortSystem.h"
#include "NoPortRoad.h"
#include "SimulatedCard.h"
#include "SimulatedPortRoad.h"
#include "VmuLink.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {
constexpr std::uint32_t kShortTimeout = 20000;  // only a failing handshake waits it out

using Log = std::vector<std::string>;
}  // namespace

TEST(PpdevPortRoad, CarriesTheLinksTransactionsToTheCardWhileClaimed) {
  CSimulatedCard card;
  CSimulatedPortRoad cardPort(card);
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", cardPort);
  {
    CVmuLink link(system.Chooser());
    link.SetDelayFactor(0);
    link.SetTimeout(kShortTimeout);
    ASSERT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
    EXPECT_EQ(link.GetPortProblem(), "");

    std::vector<std::uint8_t> unit(CVmuLink::kWriteUnit);
    std::iota(unit.begin(), unit.end(), std::uint8_t{0x40});
    std::vector<std::uint8_t> back(unit.size());
    ASSERT_TRUE(link.Write(0x1000, unit.data(), CVmuLink::kWriteUnit, false));
    ASSERT_TRUE(link.Read(0x1000, back.data(), CVmuLink::kWriteUnit, false));
    EXPECT_EQ(back, unit);

    // The other page starts erased: the select really reached the card.
    ASSERT_TRUE(link.SelectPage(2));
    EXPECT_EQ(card.GetSelectedPage(), 2u);
    ASSERT_TRUE(link.Read(0x1000, back.data(), CVmuLink::kWriteUnit, false));
    EXPECT_EQ(back, std::vector<std::uint8_t>(unit.size(), 0xFF));

    EXPECT_EQ(card.GetCounters().writeUnits, 1u);
    EXPECT_EQ(card.GetCounters().badChecksums, 0u);
    EXPECT_EQ(system.RefusedAccesses(), 0);
  }
  EXPECT_EQ(system.Log(),
            (Log{"open parport0", "claim parport0", "release parport0", "close parport0"}));
  EXPECT_EQ(system.OpenDevices(), 0u);
}

TEST(PpdevPortRoad, NamesTheAddressAndTheKnownPortsWhenNoneHasIt) {
  CNoPortRoad nowhere;
  CFakePortSystem system;
  std::string problem;

  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem, HasSubstr("0x378 (888)"));
  EXPECT_THAT(problem, HasSubstr("modprobe parport_pc ppdev"));

  // Only the first number of base-addr is the port's address.
  system.AddPort(0, "632\t0\n", nowhere);
  system.AddPort(1, "956\t888\n", nowhere);
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem, HasSubstr("0x378 (888)"));
  EXPECT_THAT(problem, HasSubstr("parport0 at 0x278 (632), parport1 at 0x3BC (956)"));
  EXPECT_TRUE(system.Log().empty());
}

TEST(PpdevPortRoad, TellsWhyAFoundDeviceCannotBeUsedAndLeavesNothingOpen) {
  CNoPortRoad nowhere;
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", nowhere);
  const std::string device = system.Calls().deviceRoot + "/parport0";
  std::string problem;

  system.FailOpen(0, EACCES);
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_EQ(problem, "Permission denied opening " + device +
                         ". Add your user to the lp group (sudo adduser $USER lp), then log out "
                         "and in again.");

  system.FailOpen(0, ENOENT);
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem, HasSubstr(device));
  EXPECT_THAT(problem, HasSubstr("modprobe ppdev"));

  system.FailOpen(0, 0);
  system.FailClaim(0, EBUSY);
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem, HasSubstr("claim " + device));
  EXPECT_THAT(problem, HasSubstr(std::strerror(EBUSY)));
  EXPECT_THAT(problem, Not(HasSubstr("root")));
  EXPECT_EQ(system.OpenDevices(), 0u);
}
