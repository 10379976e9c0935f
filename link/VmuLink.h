#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CardTransport.h"
#include "CounterSource.h"
#include "LinkSettings.h"
#include "PerfTimer.h"
#include "PortRoad.h"
#include "PortRoadChooser.h"
#include "Result.h"
#include "StatusCodes.h"

class CWireTrace;
class CTracedPortRoad;

// The road to a memory card on the parallel port: the card's byte protocol
// over the port's data, status and control registers. Three transactions exist
// (read a run of card memory, write a 128-byte unit, select a page); each opens
// with a handshake and closes with the transaction line released, on every path.
// As a card transport it reads a run of blocks in one transaction, writes a
// block as four units, and reads a page in 4,096-byte runs for backup.
class CVmuLink : public CCardTransport {
 public:
  static constexpr std::uint32_t kMaxReadLength = 65532;  // the length travels as 16 bits
  static constexpr std::uint32_t kWriteUnit = 128;
  static constexpr std::uint32_t kPageReadUnit = 4096;  // 32 handshakes a page

  // Reaches the port by the best road this machine offers.
  CVmuLink();
  // Asks the chooser for a road once the port is known: at the first SetPort
  // (or DisablePort), or at the first transaction on the default port if none
  // came; then again whenever the port address changes. A road is thus
  // claimed only for the port the settings and options finally name.
  explicit CVmuLink(PortRoadChooser chooser, CCounterSource& counter = CSteadyCounter::Instance());
  // Keeps one road for good, whatever the port address (the simulated card).
  explicit CVmuLink(std::unique_ptr<CPortRoad> road,
                    CCounterSource& counter = CSteadyCounter::Instance());
  virtual ~CVmuLink();

  CVmuLink(const CVmuLink&) = delete;
  CVmuLink& operator=(const CVmuLink&) = delete;

  bool Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t length, bool swap);
  bool Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length, bool swap);
  bool SelectPage(std::uint16_t page) override;

  std::uint32_t GetPageCount() const override;
  std::uint32_t GetSelectedPage() const override { return selectedPage_; }
  bool ReadBlocks(std::uint32_t first, std::uint32_t count, std::uint8_t* storage) override;
  bool WriteBlock(std::uint32_t block, const std::uint8_t* storage) override;
  bool ReadPageBytes(std::uint32_t offset, std::uint8_t* wire, std::uint32_t length) override {
    return Read(offset, wire, length, false);
  }
  bool WritePageBytes(std::uint32_t offset, const std::uint8_t* wire,
                      std::uint32_t length) override {
    return Write(offset, wire, length, false);
  }
  std::uint32_t GetPageReadStep() const override { return kPageReadUnit; }
  std::uint32_t GetPageWriteStep() const override { return kWriteUnit; }

  void SetPort(std::uint16_t base);
  // Reaches no port until the next SetPort, and says why (a stored port
  // address that cannot be one).
  void DisablePort(Result problem);
  void SetTimeout(std::uint32_t microseconds) { timeout_ = microseconds; }
  void SetDelayFactor(std::uint32_t microseconds) {
    delayFactor_ = microseconds;
    delayFactorGiven_ = true;
  }
  std::uint16_t GetPort() const { return port_; }
  std::uint32_t GetTimeout() const { return timeout_; }
  std::uint32_t GetDelayFactor() const { return delayFactor_; }

  // A timeout with no road to the port begins with the port's problem.
  std::string MessageFor(std::uint32_t code) const override;

  // How the port is reached; None also while no road has been chosen yet.
  // Without a road every transaction fails at once with the timeout's status,
  // since no card could answer: nothing waits out the timeout.
  PortAccess GetPortAccess() const { return road_->GetAccess(); }
  // Why no real port could be reached at the current address; done when one
  // was, or before a road was chosen.
  const Result& GetPortProblem() const override { return portProblem_; }

  // Writes every register access to the trace from now on (empty to stop).
  void SetTrace(std::unique_ptr<CWireTrace> trace);
  // Stops tracing and hands the trace over (to the link of another card).
  std::unique_ptr<CWireTrace> TakeTrace();

 private:
  std::uint8_t ReadPort(std::uint16_t offset) { return active_->ReadRegister(offset); }
  void WritePort(std::uint16_t offset, std::uint8_t value) {
    active_->WriteRegister(offset, value);
  }

  bool BeginTransaction();
  bool EndTransaction(bool done);
  std::uint8_t ExchangeByte(std::uint8_t out);
  std::uint8_t ExchangeWithChecksum(std::uint8_t out, std::uint8_t& checksum);
  bool WaitForStatus(std::uint16_t offset, std::uint8_t mask, bool set);
  bool SendCommand(std::uint8_t first, std::uint8_t second, std::uint8_t& checksum);
  void SendAddress(std::uint32_t address, std::uint8_t& checksum);
  bool FinishWithChecksum(std::uint8_t checksum, bool compare);
  bool WriteUnit(std::uint32_t address, const std::uint8_t* data, bool swap);
  void UseRoad(PortRoadChoice choice);
  void ChooseRoad();
  void RouteAccesses();

  PortRoadChooser chooser_;  // empty for a fixed road
  bool roadChosen_ = false;
  CCounterSource& counter_;
  std::unique_ptr<CWireTrace> trace_;
  std::unique_ptr<CPortRoad> road_;
  std::unique_ptr<CTracedPortRoad> tracedRoad_;
  CPortRoad* active_ = nullptr;  // road_ or, while tracing, tracedRoad_
  Result portProblem_;
  std::uint16_t port_ = LinkSettings::kDefaultPort;
  std::uint32_t timeout_ = TimeoutMicroseconds(LinkSettings::kDefaultTimeoutSeconds);
  std::uint32_t delayFactor_ = 0;
  bool delayFactorGiven_ = false;  // else the road's own starting value
  std::uint32_t selectedPage_ = 0;
  std::unique_ptr<CPerfTimer> bitTimer_;
};
