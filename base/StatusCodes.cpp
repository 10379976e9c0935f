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
    case status::kNotSupported:
      return message::kNotSupported.text;
    default:
      return message::kUnknownError.text;
  }
}
