#pragma once

class CUserPrompts;
class Result;

// How a command ended. A failure has already been shown to the user; a cancel
// and a dismissed file choice end silently.
enum class CommandResult {
  Done,
  Failed,
  Cancelled,
  Dismissed,  // the user closed a file choice, or there was nothing to do
};

// The one way a command fails: shows the failure's message, then ends Failed.
CommandResult Fail(CUserPrompts& user, const Result& failure);
