// What every road to the port must do, whatever carries the accesses: each
// write of the data and control registers reaches that register, each read
// answers from the register at its offset, and nothing reaches another one.
// (The status register is read-only on a real port.) The roads are wired to a
// port whose registers simply keep what was written.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "DirectPortRoad.h"
#include "FakePortSystem.h"
#include "NoPortRoad.h"
#include "PortRoadChooser.h"
#include "PpdevPortRoad.h"
#include "RecordingPortRoad.h"
#include "TracedPortRoad.h"
#include "WireTrace.h"

namespace {

class CLatchingPort : public CPortRoad {
 public:
  std::uint8_t ReadRegister(std::uint16_t offset) override { return registers[offset]; }
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override {
    registers[offset] = value;
  }
  PortAccess GetAccess() const override { return PortAccess::Simulated; }
  Result TakeFailure() override { return std::exchange(failure, Result()); }
  std::uint8_t registers[3] = {};
  Result failure;
};

struct RoadUnderTest {
  const char* name;
  PortAccess access;
  bool wraps;  // passes on the road beneath, and its failures
  // Makes the road over the port; system and trace live as long as the road.
  std::function<std::unique_ptr<CPortRoad>(CPortRoad& port, CFakePortSystem& system,
                                           CWireTrace& trace)>
      make;
};

const RoadUnderTest kRoads[] = {
    {"ppdev", PortAccess::Ppdev, false,
     [](CPortRoad& port, CFakePortSystem& system, CWireTrace&) -> std::unique_ptr<CPortRoad> {
       system.AddPort(0, "888\t1912\n", port);
       Result problem;
       return CPpdevPortRoad::Open(888, system.Calls(), problem);
     }},
    {"direct", PortAccess::Direct, false,
     [](CPortRoad& port, CFakePortSystem& system, CWireTrace&) -> std::unique_ptr<CPortRoad> {
       system.SetPortInstructions(0, &port);
       Result problem;
       return CDirectPortRoad::Open(888, system.Calls(), problem);
     }},
    {"traced", PortAccess::Simulated, true,
     [](CPortRoad& port, CFakePortSystem&, CWireTrace& trace) -> std::unique_ptr<CPortRoad> {
       return std::make_unique<CTracedPortRoad>(port, trace);
     }},
    {"recording", PortAccess::Simulated, true,
     [](CPortRoad& port, CFakePortSystem&, CWireTrace&) -> std::unique_ptr<CPortRoad> {
       return std::make_unique<CRecordingPortRoad>(&port);
     }},
};

class PortRoadContract : public ::testing::TestWithParam<RoadUnderTest> {};

TEST_P(PortRoadContract, WritesAndReadsEachRegisterAndNoOther) {
  CLatchingPort port;
  CFakePortSystem system;
  CWireTrace trace(std::make_unique<std::ostringstream>());  // its lines are checked with the link
  std::unique_ptr<CPortRoad> road = GetParam().make(port, system, trace);
  ASSERT_NE(road, nullptr);
  EXPECT_EQ(road->GetAccess(), GetParam().access);

  road->WriteRegister(kDataRegister, 0xA5);
  EXPECT_EQ(port.registers[kDataRegister], 0xA5);
  EXPECT_EQ(port.registers[kControlRegister], 0);
  road->WriteRegister(kControlRegister, 0x0B);
  EXPECT_EQ(port.registers[kControlRegister], 0x0B);
  EXPECT_EQ(port.registers[kStatusRegister], 0);
  EXPECT_EQ(port.registers[kDataRegister], 0xA5);

  port.registers[kStatusRegister] = 0x78;
  EXPECT_EQ(road->ReadRegister(kStatusRegister), 0x78);
  EXPECT_EQ(road->ReadRegister(kDataRegister), 0xA5);
  EXPECT_EQ(road->ReadRegister(kControlRegister), 0x0B);
  EXPECT_EQ(system.RefusedAccesses(), 0);

  // A failure beneath is told once; a road of its own has none where the
  // system allowed every access.
  port.failure = Result::Failure("refused");
  EXPECT_EQ(road->TakeFailure().Message(), GetParam().wraps ? "refused" : "");
  EXPECT_TRUE(road->TakeFailure().Ok());
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, PortRoadContract, ::testing::ValuesIn(kRoads),
                         [](const auto& test) { return std::string(test.param.name); });

// The direct road reaches whatever sits at an address, so it drives only a
// port that answers its probe, and the probe writes only the data register.
TEST(DirectPortRoad, ProbesBeforeItDrivesAndRefusesWhereNoPortAnswers) {
  CLatchingPort port;
  port.registers[kDataRegister] = 0x3C;
  port.registers[kControlRegister] = 0x0C;
  CRecordingPortRoad recorder(&port);
  CFakePortSystem system;
  system.SetPortInstructions(0, &recorder);
  PortRoadChoice choice = ChoosePortRoad(888, system.Calls());
  ASSERT_EQ(choice.road->GetAccess(), PortAccess::Direct);
  EXPECT_FALSE(recorder.GetRecords().front().write);
  EXPECT_EQ(recorder.Written(kDataRegister), (std::vector<std::uint8_t>{0x55, 0xAA, 0x00, 0x3C}));
  EXPECT_EQ(recorder.CountAccesses(true, kControlRegister), 0u);
  EXPECT_EQ(port.registers[kControlRegister], 0x0C);
  choice.road.reset();

  // Where the bus floats (0xFF) the first pattern is all that is written.
  class CNothingThere : public CPortRoad {
   public:
    std::uint8_t ReadRegister(std::uint16_t) override { return 0xFF; }
    void WriteRegister(std::uint16_t, std::uint8_t) override {}
    PortAccess GetAccess() const override { return PortAccess::Simulated; }
  } nothing;
  CRecordingPortRoad silent(&nothing);
  system.SetPortInstructions(0, &silent);
  choice = ChoosePortRoad(0x60, system.Calls());
  EXPECT_EQ(choice.road->GetAccess(), PortAccess::None);
  EXPECT_EQ(choice.problem.Message().rfind(
                "No parallel port answers at 0x60 (96): its data register read "
                "0xFF after 0x55 was written. ",
                0),
            0u)
      << choice.problem.Message();
  EXPECT_EQ(silent.Written(kDataRegister), std::vector<std::uint8_t>{0x55});
  EXPECT_EQ(silent.CountAccesses(true, kControlRegister), 0u);
  EXPECT_EQ(system.Log().back(), "ioperm 96 3 0");  // given back at once
}

TEST(NoPortRoad, ReadsZero) {
  CNoPortRoad none;
  none.WriteRegister(kDataRegister, 0xFF);
  EXPECT_EQ(none.ReadRegister(kDataRegister), 0);
  EXPECT_EQ(none.ReadRegister(kStatusRegister), 0);
  EXPECT_EQ(none.GetAccess(), PortAccess::None);
}

}  // namespace
