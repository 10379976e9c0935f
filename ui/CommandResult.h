#pragma once

// How a command ended. A failure has already been shown to the user; a cancel
// and a dismissed file choice end silently.
enum class CommandResult {
  Done,
  Failed,
  Cancelled,
  Dismissed,  // the user closed a file choice, or there was nothing to do
};
