#pragma once

#include <array>
#include <cstdint>

// The card's side of one transaction, a byte at a time: which command came,
// what to answer, and whether the PC's checksum agrees. It knows nothing of
// clock edges, faults on the wire or files; the card acts on its result.
class CCardTransaction {
 public:
  static constexpr std::uint32_t kUnitSize = 128;

  // What the checksum exchange concluded; reported once.
  enum class Result : std::uint8_t {
    None,
    Read,         // a read whose checksum and echoes all matched
    WriteUnit,    // a unit whose checksum matched: GetAddress, GetUnit
    PageSelect,   // a page select whose checksum matched: GetAddress holds the page
    BadChecksum,  // the PC's checksum (or an echo) disagreed; nothing is to change
  };

  // Starts afresh over a page (card_format::kPageSize bytes, wire order) and gives the
  // answer for the first exchange.
  std::uint8_t Begin(const std::uint8_t* page, bool wrongAnswers, bool wrongChecksum);

  // Takes the byte the PC sent in this exchange and gives the answer for the next.
  std::uint8_t Take(std::uint8_t received);

  // The result of the last Take, then None until the next checksum exchange.
  Result TakeResult() {
    const Result result = result_;
    result_ = Result::None;
    return result;
  }
  std::uint32_t GetAddress() const { return address_; }
  const std::array<std::uint8_t, kUnitSize>& GetUnit() const { return unit_; }

 private:
  enum class Stage : std::uint8_t {
    FirstCommand,
    SecondCommand,
    ReadHeader,  // 4 address bytes, 2 length bytes
    ReadData,
    ReadChecksum,
    WriteAddress,
    WriteData,
    WriteChecksum,
    PageNumber,
    PageChecksum,
    Unknown,  // a command the card does not know
    Ignore,   // after the wrong first answers
    Done,     // after the checksum exchange, until the line drops
  };

  std::uint8_t Answer(std::uint8_t byte) {
    previous_ = current_;
    current_ = byte;
    return byte;
  }
  std::uint8_t Next(std::uint8_t received);
  std::uint8_t ChecksumAnswer();
  std::uint8_t StartCommand(std::uint8_t second);
  std::uint8_t TakeReadHeader(std::uint8_t received);
  std::uint8_t NextReadByte();
  void TakeNumber(std::uint8_t received, std::uint32_t bytes, Stage next);
  void Conclude(bool matched, Result result);

  const std::uint8_t* page_ = nullptr;
  Stage stage_ = Stage::Done;
  Result result_ = Result::None;
  bool wrongAnswers_ = false;
  bool wrongChecksum_ = false;
  bool echoMismatch_ = false;
  std::uint8_t sum_ = 0;       // XOR of the bytes received so far
  std::uint8_t current_ = 0;   // the answer in this exchange
  std::uint8_t previous_ = 0;  // the answer in the exchange before, which the PC echoes now
  std::uint8_t firstCommand_ = 0;
  std::uint32_t count_ = 0;  // bytes taken in the current stage
  std::uint32_t address_ = 0;
  std::uint32_t length_ = 0;
  std::array<std::uint8_t, kUnitSize> unit_{};
};
