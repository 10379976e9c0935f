#pragma once

#include <string>
#include <utility>

// How an operation that keeps no status code of its own ended: done, or the
// message that says why not, in the words the user is shown. The card layers
// keep the success flag and last error that their callers read; everything
// else that can fail (files, images, settings, command lines) answers with this.
class [[nodiscard]] Result {
 public:
  Result() = default;  // done

  static Result Failure(std::string message) {
    Result result;
    result.message_ = std::move(message);
    result.failed_ = true;
    return result;
  }

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return !failed_; }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
  bool failed_ = false;
};
