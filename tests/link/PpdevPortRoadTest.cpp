#include "PpdevPortRoad.h"

#include <linux/ppdev.h>
#include <sys/ioctl.h>

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
using Log = std::vector<std::string>;
}  // namespace

// The road's real ioctl code against simulated cards, through a link that
// moves from one device to another when its port changes.
TEST(PpdevPortRoad, CarriesTheLinksTransactionsToTheClaimedDevice) {
  CSimulatedCard first, second;
  CSimulatedPortRoad firstPort(first), secondPort(second);
  CFakePortSystem system;
  system.AddPort(0, "888\t1912\n", firstPort);
  system.AddPort(1, "632\t0\n", secondPort);
  {
    CVmuLink link(system.Chooser());
    link.SetPort(888);
    link.SetDelayFactor(0);
    link.SetTimeout(20000);  // only a failing handshake waits it out
    ASSERT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
    EXPECT_TRUE(link.GetPortProblem().Ok());

    std::vector<std::uint8_t> unit(CVmuLink::kWriteUnit), back(unit.size());
    std::iota(unit.begin(), unit.end(), std::uint8_t{0x40});
    ASSERT_TRUE(link.Write(0x1000, unit.data(), CVmuLink::kWriteUnit, false));
    // The card's answer to a unit is not compared: only the road can tell
    // that a data request failed part-way.
    system.FailRequests(PPWDATA, EIO, 200);
    EXPECT_FALSE(link.Write(0x1000, back.data(), CVmuLink::kWriteUnit, false));
    system.FailRequests(0, 0, 0);
    EXPECT_THAT(link.MessageFor(link.GetLastStatus()),
                HasSubstr(system.Calls().deviceRoot + "/parport0: " + std::strerror(EIO)));
    ASSERT_TRUE(link.Read(0x1000, back.data(), CVmuLink::kWriteUnit, false));
    EXPECT_EQ(back, unit);
    EXPECT_EQ(first.GetCounters().writeUnits, 1u);

    link.SetPort(632);
    ASSERT_EQ(link.GetPortAccess(), PortAccess::Ppdev);
    ASSERT_TRUE(link.SelectPage(3));
    EXPECT_EQ(second.GetSelectedPage(), 3u);
    EXPECT_EQ(first.GetCounters().transactions, 3u);
    EXPECT_EQ(first.GetCounters().badChecksums + second.GetCounters().badChecksums, 0u);
    EXPECT_EQ(system.RefusedAccesses(), 0);
  }
  EXPECT_EQ(system.Log(),
            (Log{"open parport0", "claim parport0", "release parport0", "close parport0",
                 "open parport1", "claim parport1", "release parport1", "close parport1"}));
  EXPECT_EQ(system.OpenDevices(), 0u);
}

TEST(PpdevPortRoad, TellsWhyNoDeviceCanBeUsedAndLeavesNothingOpen) {
  CNoPortRoad nowhere;
  CFakePortSystem system;
  Result problem;
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem.Message(), HasSubstr("0x378 (888)"));
  EXPECT_THAT(problem.Message(), HasSubstr("modprobe parport_pc ppdev"));

  // Only the first number of base-addr is the port's address.
  system.AddPort(0, "632\t0\n", nowhere);
  system.AddPort(1, "956\t888\n", nowhere);
  EXPECT_EQ(CPpdevPortRoad::Open(888, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem.Message(), HasSubstr("0x378 (888)"));
  EXPECT_THAT(problem.Message(), HasSubstr("parport0 at 0x278 (632), parport1 at 0x3BC (956)"));
  EXPECT_TRUE(system.Log().empty());

  // A device found but refused.
  const std::string device = system.Calls().deviceRoot + "/parport1";
  system.FailOpen(1, EACCES);
  EXPECT_EQ(CPpdevPortRoad::Open(956, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem.Message(), HasSubstr("sudo adduser $USER lp"));

  system.FailOpen(1, ENOENT);
  EXPECT_EQ(CPpdevPortRoad::Open(956, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem.Message(), HasSubstr(device));
  EXPECT_THAT(problem.Message(), HasSubstr("modprobe ppdev"));

  system.FailOpen(1, 0);
  system.FailClaim(1, EBUSY);
  EXPECT_EQ(CPpdevPortRoad::Open(956, system.Calls(), problem), nullptr);
  EXPECT_THAT(problem.Message(), HasSubstr("claim " + device));
  EXPECT_THAT(problem.Message(), HasSubstr(std::strerror(EBUSY)));
  EXPECT_EQ(problem.Code(), std::uint32_t{EBUSY});
  EXPECT_THAT(problem.Message(), Not(HasSubstr("root")));
  EXPECT_EQ(system.OpenDevices(), 0u);
}
