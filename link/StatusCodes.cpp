#include "StatusCodes.h"

const char* StatusMessage(std::uint32_t code) {
  switch (code) {
    case status::kNoError:
      return "No error.";
    case status::kCancelled:
      return "The transfer was cancelled.";
    case status::kTimeout:
      return "Communications timed out.  There may be a communications problem, or your "
             "timeout setting may be too low.";
    case status::kBadChecksum:
      return "A invalid CRC value was returned.  There may be a communications problem.";
    case status::kUnexpectedAnswer:
      return "An unexpected value was returned.  There may be a communications problem, or "
             "you may be using an unsupported memory card.";
    case status::kWriteLength:
      return "The buffer passed to the CVmuLink::Write () function was not a modulo of 0x80.";
    case status::kCacheReadAddress:
      return "An invalid address was passed to the CVmuMemory::Read () function.";
    case status::kCacheWriteAddress:
      return "An invalid address was passed to the CVmuMemory::Write () function.";
    case status::kCacheStatus:
      return "An unknown cache status code was found.";
    case status::kNotSupported:
      return "The requested function is not supported.";
    default:
      return "An unknown error occured.";
  }
}
