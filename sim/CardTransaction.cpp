#include "CardTransaction.h"

#include "CardFormat.h"
#include "CardProtocol.h"

namespace {
using namespace card_protocol;
constexpr std::uint8_t kWrongAnswer = 0xFF;
// What the card does to its checksum answer when an echo came back wrong, and
// what the wrongChecksum fault does to it. They differ, so that the two
// together still give a wrong answer.
constexpr std::uint8_t kEchoMismatchMask = 0xFF;
constexpr std::uint8_t kWrongChecksumMask = 0x5A;
constexpr std::uint32_t kAddressMask = card_format::kPageSize - 1;
}  // namespace

std::uint8_t CCardTransaction::Begin(const std::uint8_t* page, bool wrongAnswers,
                                     bool wrongChecksum) {
  page_ = page;
  wrongAnswers_ = wrongAnswers;
  wrongChecksum_ = wrongChecksum;
  stage_ = Stage::FirstCommand;
  result_ = Result::None;
  echoMismatch_ = false;
  sum_ = 0;
  current_ = 0;
  previous_ = 0;
  return Answer(wrongAnswers ? kWrongAnswer : kFirstAnswer);
}

std::uint8_t CCardTransaction::Take(std::uint8_t received) {
  return Answer(Next(received));
}

std::uint8_t CCardTransaction::Next(std::uint8_t received) {
  switch (stage_) {
    case Stage::FirstCommand:
      sum_ ^= received;
      firstCommand_ = received;
      stage_ = Stage::SecondCommand;
      return wrongAnswers_ ? kWrongAnswer : kSecondAnswer;
    case Stage::SecondCommand:
      sum_ ^= received;
      return StartCommand(received);
    case Stage::ReadHeader:
      sum_ ^= received;
      return TakeReadHeader(received);
    case Stage::ReadData:
      sum_ ^= received;
      if (received != previous_) echoMismatch_ = true;
      return NextReadByte();
    case Stage::ReadChecksum:
      Conclude(received == sum_ && !echoMismatch_, Result::Read);
      return 0;
    case Stage::WriteAddress:
      sum_ ^= received;
      TakeNumber(received, 4, Stage::WriteData);
      return 0;
    case Stage::WriteData:
      sum_ ^= received;
      unit_[count_] = received;
      if (++count_ < kUnitSize) return 0;
      stage_ = Stage::WriteChecksum;
      return ChecksumAnswer();
    case Stage::WriteChecksum:
      Conclude(received == sum_, Result::WriteUnit);
      return 0;
    case Stage::PageNumber:
      sum_ ^= received;
      TakeNumber(received, 2, Stage::PageChecksum);
      return stage_ == Stage::PageChecksum ? ChecksumAnswer() : 0;
    case Stage::PageChecksum:
      Conclude(received == sum_, Result::PageSelect);
      return 0;
    case Stage::Unknown:
      // The card cannot tell which exchange carries the PC's checksum, so it
      // answers every one with a byte that differs from its own running sum.
      sum_ ^= received;
      return sum_ == 0 ? 0xFF : 0x00;
    case Stage::Ignore:
    case Stage::Done:
      break;
  }
  return 0;
}

std::uint8_t CCardTransaction::ChecksumAnswer() {
  std::uint8_t answer = sum_;
  if (echoMismatch_) answer ^= kEchoMismatchMask;
  if (wrongChecksum_) answer ^= kWrongChecksumMask;
  return answer;
}

std::uint8_t CCardTransaction::StartCommand(std::uint8_t second) {
  count_ = 0;
  address_ = 0;
  length_ = 0;
  if (wrongAnswers_) {
    stage_ = Stage::Ignore;
  } else if (firstCommand_ == kReadCommand[0] && second == kReadCommand[1]) {
    stage_ = Stage::ReadHeader;
  } else if (firstCommand_ == kWriteCommand[0] && second == kWriteCommand[1]) {
    stage_ = Stage::WriteAddress;
  } else if (firstCommand_ == kPageCommand[0] && second == kPageCommand[1]) {
    stage_ = Stage::PageNumber;  // the page number travels like an address
  } else {
    stage_ = Stage::Unknown;
    return sum_ == 0 ? 0xFF : 0x00;
  }
  return 0;
}

// Numbers travel least significant byte first.
void CCardTransaction::TakeNumber(std::uint8_t received, std::uint32_t bytes, Stage next) {
  address_ |= std::uint32_t{received} << (8 * count_);
  if (++count_ == bytes) {
    stage_ = next;
    count_ = 0;
  }
}

std::uint8_t CCardTransaction::TakeReadHeader(std::uint8_t received) {
  if (count_ < 4) {
    address_ |= std::uint32_t{received} << (8 * count_);
  } else {
    length_ |= std::uint32_t{received} << (8 * (count_ - 4));
  }
  if (++count_ < 6) return 0;
  count_ = 0;
  if (length_ == 0) {
    stage_ = Stage::ReadChecksum;
    return ChecksumAnswer();
  }
  stage_ = Stage::ReadData;
  return page_[address_ & kAddressMask];
}

std::uint8_t CCardTransaction::NextReadByte() {
  if (++count_ < length_) return page_[(address_ + count_) & kAddressMask];
  stage_ = Stage::ReadChecksum;
  return ChecksumAnswer();
}

void CCardTransaction::Conclude(bool matched, Result result) {
  stage_ = Stage::Done;
  result_ = matched ? result : Result::BadChecksum;
}
