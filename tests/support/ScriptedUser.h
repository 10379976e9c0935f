#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ScriptedProgress.h"
#include "UserPrompts.h"

// A user that answers file choices from a script and writes down every
// message it is shown.
class CScriptedUser : public CUserPrompts {
 public:
  // Given a progress window, notes whether it was open at each message and
  // save choice.
  explicit CScriptedUser(const CScriptedProgress* watched = nullptr) : watched_(watched) {}

  // The next file choice returns this path; an empty string dismisses it.
  void AnswerNextChoice(const std::string& path) { answers_.push_back(path); }
  // The next question gets this answer; unscripted questions get their default.
  void AnswerNextQuestion(bool yes) { replies_.push_back(yes); }

  void ShowMessage(const std::string& text) override;
  bool ChooseFileToOpen(const FileKind& kind, std::string& path) override;
  bool ChooseFileToSave(const FileKind& kind, std::string& path) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  void BeginBusy() override { ++busy; }
  void EndBusy() override { --busy; }

  int busy = 0;  // BeginBusy calls not yet ended
  std::vector<std::string> messages;
  std::vector<std::string> choicesAsked;  // "open dci", "save dcm", ...
  std::vector<bool> windowOpen;
  std::vector<std::string> questions;

 private:
  bool Answer(std::string& path);
  const CScriptedProgress* watched_;
  std::deque<std::string> answers_;
  std::deque<bool> replies_;
};
