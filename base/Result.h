#pragma once

#include <cstdint>
#include <string>
#include <utility>

// How an operation ended: done, or why not, in the words the user is shown,
// with the code behind them where there is one: the status code of a link or
// card failure (StatusCodes.h, 20000 and up), or the system's errno for a
// file or a port it refused (below 20000). A refusal of bad input has none.
//
// The one way to fail. The link and the card layers keep the success flag
// and the last status code their design gives them (CVmuLink::GetLastStatus,
// GetLastError of the cache, the regions and the card object), and the card
// object and the link turn a code into a Result (Failure). Every other
// function that can fail for a reason the user is to read answers with a
// Result; a command shows it once, through Fail (ui/CommandResult.h), and
// ends Failed. What is wrong with the data on a card (a chain, a page) is an
// enum, put into words only through the message catalogue.
class [[nodiscard]] Result {
 public:
  Result() = default;  // done

  static Result Failure(std::string message, std::uint32_t code = 0) {
    Result result;
    result.message_ = std::move(message);
    result.code_ = code;
    result.failed_ = true;
    return result;
  }

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return !failed_; }
  const std::string& Message() const { return message_; }
  // The status code or errno of a failure; 0 when done or when there is none.
  std::uint32_t Code() const { return code_; }

 private:
  std::string message_;
  std::uint32_t code_ = 0;
  bool failed_ = false;
};
