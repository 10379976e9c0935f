#include "CommandResult.h"

#include "Result.h"
#include "UserPrompts.h"

CommandResult Fail(CUserPrompts& user, const Result& failure) {
  user.ShowMessage(failure.Message());
  return CommandResult::Failed;
}
