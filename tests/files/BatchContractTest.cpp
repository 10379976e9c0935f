// The window and the user that the commands of a batch see, over a scripted
// window and user, held to the contract of the ones they stand for.

#include <memory>
#include <numeric>
#include <string>

#include "BatchProgress.h"
#include "BatchUser.h"
#include "ProgressContract.h"
#include "ScriptedProgress.h"
#include "ScriptedUser.h"
#include "UserPromptsContract.h"

namespace {

// The second of three files, in a window of a batch that is open already.
struct BatchOnTest {
  CScriptedProgress window;
  CScriptedUser user{&window};
  CBatchProgress batch{window, 3};
  CBatchUser batchUser{user, batch};
};

std::shared_ptr<BatchOnTest> Batch() {
  auto kept = std::make_shared<BatchOnTest>();
  kept->batch.StartFile(1);
  return kept;
}

ProgressOnTest BatchProgress() {
  auto kept = Batch();
  return {kept, &kept->batch,
          [w = &kept->window] { w->CancelAtPosition(static_cast<int>(w->positions.size()) + 1); }};
}

INSTANTIATE_TEST_SUITE_P(Files, ProgressContract,
                         ::testing::Values(ProgressUnderTest{"batch", BatchProgress}),
                         ProgressName);

UserOnTest BatchUser() {
  auto kept = Batch();
  UserOnTest made(kept, &kept->batchUser);
  made.shown = [u = &kept->user] {
    return std::accumulate(u->messages.begin(), u->messages.end(), std::string());
  };
  made.looksBusy = [u = &kept->user] { return u->busy > 0; };
  return made;
}

INSTANTIATE_TEST_SUITE_P(Files, UserPromptsContract,
                         ::testing::Values(UserUnderTest{"batch", BatchUser}), UserName);

}  // namespace
