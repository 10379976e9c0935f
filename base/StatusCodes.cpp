#include "StatusCodes.h"

#include "Messages.h"

const char* StatusMessage(std::uint32_t code) {
  switch (code) {
    case status::kNoError:
      return message::kNoError.text;
    case status::kCancelled:
      return message::kTransferCancelled.text;
    case status::kTimeout:
      return message::kTimedOut.text;
    case status::kBadChecksum:
      return message::kBadChecksum.text;
    case status::kUnexpectedAnswer:
      return message::kUnexpectedAnswer.text;
    case status::kWriteLength:
      return message::kWriteLength.text;
    case status::kNotStored:
      return message::kNotStored.text;
    case status::kCacheReadAddress:
      return message::kCacheReadAddress.text;
    case status::kCacheWriteAddress:
      return message::kCacheWriteAddress.text;
    case status::kCacheStatus:
      return message::kCacheStatus.text;
    case status::kAdapterNoReply:
      return message::kAdapterNoReply.text;
    case status::kAdapterFailure:
      return message::kAdapterFailure.text;
    case status::kAdapterRejected:
      return message::kAdapterRejected.text;
    case status::kAdapterGarbled:
      return message::kAdapterGarbled.text;
    case status::kAdapterTransmitAgain:
      return message::kAdapterTransmitAgain.text;
    case status::kAdapterNotVerified:
      return message::kAdapterNotVerified.text;
    case status::kNotSupported:
      return message::kNotSupported.text;
    default:
      return message::kUnknownError.text;
  }
}
