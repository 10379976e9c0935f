// The command line's progress window and user, held to the contract of every
// front end: the bar drawn on a terminal, Ctrl-C as Cancel; a user with the
// file the command line names, no terminal and no --from-page.

#include <memory>
#include <sstream>
#include <string>

#include "CommandLineUser.h"
#include "ProgressContract.h"
#include "ScratchDirectory.h"
#include "TerminalProgress.h"
#include "UserPromptsContract.h"

namespace {

struct TerminalOnTest {
  std::ostringstream err;
  CTerminalProgress window{err, true};
};

ProgressOnTest Terminal() {
  auto kept = std::make_shared<TerminalOnTest>();
  return {kept, &kept->window, [] { CTerminalProgress::RequestCancel(); }};
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ProgressContract,
                         ::testing::Values(ProgressUnderTest{"terminal", Terminal}), ProgressName);

struct CommandLineUserOnTest {
  CScratchDirectory scratch;
  std::ostringstream err;
  CCommandLineUser user{err};
};

UserOnTest CommandLineUser() {
  auto kept = std::make_shared<CommandLineUserOnTest>();
  const std::string named = kept->scratch.File("named.dci"), image = kept->scratch.File("card.bin");
  kept->user.SetFile(named, false);
  kept->user.SetOutputCheck([image](const std::string& path) {
    return path == image ? Result::Failure(path + " is the card image itself.") : Result();
  });
  UserOnTest made(kept, &kept->user);
  made.shown = [k = kept.get()] { return k->err.str(); };
  made.opens = made.saves = named;
  made.refusedOutput = image;
  return made;
}

INSTANTIATE_TEST_SUITE_P(CommandLine, UserPromptsContract,
                         ::testing::Values(UserUnderTest{"command_line", CommandLineUser}),
                         UserName);

}  // namespace
