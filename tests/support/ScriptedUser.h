#pragma once

#include <deque>
#include <string>
#include <vector>

#include "UserPrompts.h"

// A user that answers file choices from a script and writes down every
// message it is shown.
class CScriptedUser : public CUserPrompts {
 public:
  // The next file choice returns this path; an empty string dismisses it.
  void AnswerNextChoice(const std::string& path) { answers_.push_back(path); }

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;

  std::vector<std::string> messages;
  std::vector<std::string> choicesAsked;  // "open dci", "save dcm", ...

 private:
  bool Answer(std::string& path);
  std::deque<std::string> answers_;
};
