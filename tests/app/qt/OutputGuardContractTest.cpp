// The desktop's user with its one refusal added, over a scripted user: held to
// the contract of every user, and refusing the card image as a file to save.

#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "OutputGuard.h"
#include "ScriptedUser.h"
#include "UserPromptsContract.h"

namespace {

const char kImage[] = "/cards/card.bin";

Result RefuseTheImage(const std::string& path) {
  return path == kImage ? Result::Failure(path + " is the card image itself.") : Result();
}

struct GuardOnTest {
  GuardOnTest() {
    auto user = std::make_unique<CScriptedUser>();
    beneath = user.get();
    guard = std::make_unique<COutputGuard>(std::move(user), RefuseTheImage);
  }
  CScriptedUser* beneath;  // owned by the guard
  std::unique_ptr<COutputGuard> guard;
};

UserOnTest Guard() {
  auto kept = std::make_shared<GuardOnTest>();
  UserOnTest made(kept, kept->guard.get());
  made.shown = [u = kept->beneath] {
    return std::accumulate(u->messages.begin(), u->messages.end(), std::string());
  };
  made.looksBusy = [u = kept->beneath] { return u->busy > 0; };
  made.refusedOutput = kImage;
  return made;
}

INSTANTIATE_TEST_SUITE_P(App, UserPromptsContract,
                         ::testing::Values(UserUnderTest{"output_guard", Guard}), UserName);

TEST(OutputGuard, AFileToSaveThatIsInUseIsShownWhyAndDismissed) {
  GuardOnTest tested;
  tested.beneath->AnswerNextChoice(kImage);
  tested.beneath->AnswerNextChoice("/cards/backup.dcm");
  std::string path = "before";
  EXPECT_FALSE(tested.guard->ChooseFileToSave(kDcmFileKind, path));
  EXPECT_EQ(path, "before");
  EXPECT_EQ(tested.beneath->messages,
            std::vector<std::string>{"/cards/card.bin is the card image itself."});
  EXPECT_TRUE(tested.guard->ChooseFileToSave(kDcmFileKind, path));
  EXPECT_EQ(path, "/cards/backup.dcm");
}

}  // namespace
