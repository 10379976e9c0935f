#pragma once

// What every user of the commands promises, whatever he is (see
// UserPrompts.h): messages reach him whole, a dismissed choice returns false
// and changes nothing, a dismissed question gets the answer offered first,
// and a front end that cannot ask for a folder or a page chooses none. A test
// program includes this once and instantiates the suite with a small factory
// per implementation:
//   INSTANTIATE_TEST_SUITE_P(Terminal, UserPromptsContract, ::testing::Values(...), UserName);

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ResultAssertion.h"
#include "UserPrompts.h"

// One user to test, as its factory set him up, with what he needs kept alive.
struct UserOnTest {
  UserOnTest(std::shared_ptr<void> owned, CUserPrompts* prompts)
      : keep(std::move(owned)), user(prompts) {}
  template <class User>
  explicit UserOnTest(const std::shared_ptr<User>& made) : UserOnTest(made, made.get()) {}

  std::shared_ptr<void> keep;
  CUserPrompts* user;
  // Every text the user was shown so far; empty for a user who reads none.
  std::function<std::string()> shown;
  // The file he picks to open, and to save; none where he dismisses the choice.
  std::optional<std::string> opens, saves;
  bool alwaysYes = false;  // a double that says yes to every question; the others dismiss them
  // Whether the front end shows that the program is busy; empty where it cannot.
  std::function<bool()> looksBusy;
  std::string refusedOutput;  // a path CheckOutput refuses; empty: it refuses none
};

struct UserUnderTest {
  const char* name;
  std::function<UserOnTest()> make;
};

inline void PrintTo(const UserUnderTest& tested, std::ostream* out) {
  *out << tested.name;
}
inline std::string UserName(const ::testing::TestParamInfo<UserUnderTest>& info) {
  return info.param.name;
}

class UserPromptsContract : public ::testing::TestWithParam<UserUnderTest> {
 protected:
  UserPromptsContract() : made_(GetParam().make()) {}
  CUserPrompts& User() { return *made_.user; }
  UserOnTest made_;
};

TEST_P(UserPromptsContract, AMessageReachesTheUserWhole) {
  const std::string text = "The card is not formatted.\nFormat it first: 100% of it is lost.";
  User().ShowMessage(text);
  if (made_.shown) {
    EXPECT_NE(made_.shown().find(text), std::string::npos) << made_.shown();
  }
}

// A dismissed choice leaves the caller's path as it was.
TEST_P(UserPromptsContract, FileChoicesGiveThePathPickedOrFalse) {
  std::string path = "before";
  EXPECT_EQ(User().ChooseFileToOpen(kCardFileKind, path), made_.opens.has_value());
  EXPECT_EQ(path, made_.opens.value_or("before"));

  std::vector<std::string> paths = {"before"};
  EXPECT_EQ(User().ChooseFilesToOpen(kCardFileKind, paths), made_.opens.has_value());
  EXPECT_EQ(paths, std::vector<std::string>{made_.opens.value_or("before")});

  path = "before";
  EXPECT_EQ(User().ChooseFileToSave(kDcmFileKind, path), made_.saves.has_value());
  EXPECT_EQ(path, made_.saves.value_or("before"));
}

// Any folder or page picked for want of an answer could be the wrong one.
TEST_P(UserPromptsContract, AFolderOrAPageIsNoneUnlessChosen) {
  std::string folder = "before";
  EXPECT_FALSE(User().ChooseFolder(folder));
  CardFileFormat format = CardFileFormat::Vms;
  EXPECT_FALSE(User().ChooseFolderAndFormat(folder, format));
  EXPECT_EQ(folder, "before");
  EXPECT_EQ(format, CardFileFormat::Vms);
  std::uint16_t page = 7;
  EXPECT_FALSE(User().ChoosePage("four.dcm", 4, page));
  EXPECT_EQ(page, 7);
}

TEST_P(UserPromptsContract, ADismissedQuestionGetsTheAnswerOfferedFirst) {
  EXPECT_TRUE(User().AskYesNo("Replace the file?", true));
  EXPECT_EQ(User().AskYesNo("Replace the file?", false), made_.alwaysYes);
}

TEST_P(UserPromptsContract, CheckOutputRefusesOnlyWhatIsInUse) {
  EXPECT_TRUE(Succeeded(User().CheckOutput("/nowhere/free.dci")));
  if (made_.refusedOutput.empty()) return;
  const Result refused = User().CheckOutput(made_.refusedOutput);
  EXPECT_FALSE(refused);
  EXPECT_FALSE(refused.Message().empty());
}

// Busy scopes nest; a message shown meanwhile leaves them as they were.
TEST_P(UserPromptsContract, BusyCallsNest) {
  const auto busy = [this] { return made_.looksBusy && made_.looksBusy(); };
  EXPECT_FALSE(busy());
  {
    CBusyScope outer(User());
    {
      CBusyScope inner(User());
      User().ShowMessage("Reading...");
    }
    EXPECT_EQ(busy(), static_cast<bool>(made_.looksBusy));
  }
  EXPECT_FALSE(busy());
}
