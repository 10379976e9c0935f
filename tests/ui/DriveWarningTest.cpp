#include "DriveWarning.h"

#include <gtest/gtest.h>

#include "CommandIds.h"
#include "Messages.h"
#include "ScriptedUser.h"

// A command that changes a card the computer also sees as a USB drive goes
// ahead only when the user says yes, or already did; reading it, or writing a
// card no one else sees, asks nothing.
TEST(DriveWarning, AsksBeforeAWriteOnlyToACardSeenAsADrive) {
  CScriptedUser user;
  user.AnswerNextQuestion(true);
  EXPECT_TRUE(MayWriteCardSeenAsDrive(command::kUpload, true, Confirm::Ask, user));
  user.AnswerNextQuestion(false);
  EXPECT_FALSE(MayWriteCardSeenAsDrive(command::kRestore, true, Confirm::Ask, user));
  EXPECT_FALSE(MayWriteCardSeenAsDrive(command::kDelete, true, Confirm::Ask, user));  // default
  EXPECT_EQ(user.questions, std::vector<std::string>(3, message::kAskWriteCardSeenAsDrive.text));

  EXPECT_TRUE(MayWriteCardSeenAsDrive(command::kFormat, true, Confirm::Yes, user));
  EXPECT_TRUE(MayWriteCardSeenAsDrive(command::kRepair, false, Confirm::Ask, user));
  EXPECT_TRUE(MayWriteCardSeenAsDrive(command::kBackup, true, Confirm::Ask, user));
  EXPECT_EQ(user.questions.size(), 3u);  // none of these asked
}
