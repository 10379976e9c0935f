// The progress windows and users that stand in for a person: the quiet
// window, the tests' scripted ones, and the users of the benchmarks and the
// fuzzers, held to the same contract as the front ends.

#include <memory>
#include <numeric>
#include <string>

#include "BenchPrompts.h"
#include "FuzzUser.h"
#include "ProgressContract.h"
#include "QuietProgress.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "UserPromptsContract.h"

namespace {

ProgressOnTest Scripted() {
  auto window = std::make_shared<CScriptedProgress>();
  return {window, window.get(),
          [w = window.get()] { w->CancelAtPosition(static_cast<int>(w->positions.size()) + 1); }};
}

INSTANTIATE_TEST_SUITE_P(
    Doubles, ProgressContract,
    ::testing::Values(ProgressUnderTest{"quiet",
                                        [] {
                                          auto window = std::make_shared<CQuietProgress>();
                                          return ProgressOnTest{window, window.get(), nullptr};
                                        }},
                      ProgressUnderTest{"scripted", Scripted}),
    ProgressName);

UserOnTest ScriptedUser() {
  auto user = std::make_shared<CScriptedUser>();
  UserOnTest made(user);
  made.shown = [u = user.get()] {
    return std::accumulate(u->messages.begin(), u->messages.end(), std::string());
  };
  made.looksBusy = [u = user.get()] { return u->busy > 0; };
  return made;
}

UserOnTest FixedUser() {
  auto user = std::make_shared<CFixedUser>("/bench/file.dci");
  UserOnTest made(user);
  made.shown = [u = user.get()] { return u->lastMessage; };
  made.opens = made.saves = "/bench/file.dci";
  made.alwaysYes = true;
  return made;
}

UserOnTest FuzzUser() {
  auto user = std::make_shared<CFuzzUser>("/fuzz/input");
  UserOnTest made(user);
  made.opens = "/fuzz/input";
  made.alwaysYes = true;
  return made;
}

INSTANTIATE_TEST_SUITE_P(Doubles, UserPromptsContract,
                         ::testing::Values(UserUnderTest{"scripted", ScriptedUser},
                                           UserUnderTest{"bench", FixedUser},
                                           UserUnderTest{"fuzz", FuzzUser}),
                         UserName);

}  // namespace
