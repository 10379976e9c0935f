#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "UserPrompts.h"

// The command line's user: messages go to standard error, one line each, and
// the file "chosen" is the one the command line names. An existing file is
// kept unless the command line says --force. A question is asked on the
// terminal; where there is none it gets its default answer. What the
// options decide (--yes, --replace) is passed to the commands, which then
// ask nothing about it.
class CCommandLineUser : public CUserPrompts {
 public:
  // terminal: where a person types answers; none when standard input is not a terminal.
  explicit CCommandLineUser(std::ostream& err, std::istream* terminal = nullptr)
      : err_(err), terminal_(terminal) {}

  void SetFile(const std::string& path, bool force) {
    path_ = path;
    force_ = force;
  }

  // What an output may not be (the card image, the trace): CheckOutput's answer.
  using OutputCheck = std::function<Result(const std::string& path)>;
  void SetOutputCheck(OutputCheck check) { check_ = std::move(check); }

  // Whether a person can answer questions.
  bool CanAsk() const { return terminal_ != nullptr; }
  // The page of a file of several that the command line names (--from-page);
  // without one, the choice is refused with a message saying to add it.
  void SetPage(std::optional<std::uint16_t> page) { page_ = page; }

  // Messages wait until released, so that they follow what a command prints.
  void HoldMessages() { holding_ = true; }
  void ReleaseMessages();

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  Result CheckOutput(const std::string& path) override { return check_ ? check_(path) : Result(); }
  bool ChoosePage(const std::string& file, std::uint16_t pages, std::uint16_t& page) override;

  // Whether the file may be written (CheckOutput, and a taken name only with
  // --force), saying why not; used before a command starts too, so that a
  // long transfer is not made in vain.
  bool MaySave(const std::string& path);

 private:
  bool Named(const std::string& path);  // an empty name is refused with a message

  std::ostream& err_;
  std::istream* terminal_;
  std::optional<std::uint16_t> page_;
  bool holding_ = false;
  std::vector<std::string> held_;
  std::string path_;
  bool force_ = false;
  OutputCheck check_;
};
