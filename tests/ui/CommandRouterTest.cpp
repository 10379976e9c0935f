#include "CommandRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandIds.h"

TEST(CommandRouter, TheFirstTableThatHandlesACommandTakesIt) {
  CCommandRouter router;
  std::vector<std::string> ran;
  router.Table(CCommandRouter::Level::Application).On(1, [&] { ran.push_back("application 1"); });
  router.Table(CCommandRouter::Level::Frame).On(1, [&] { ran.push_back("frame 1"); });
  router.Table(CCommandRouter::Level::ListWindow).On(1, [&] { ran.push_back("list 1"); });
  router.Table(CCommandRouter::Level::Application).On(2, [&] { ran.push_back("application 2"); });
  router.Table(CCommandRouter::Level::Frame).On(2, [&] { ran.push_back("frame 2"); });

  EXPECT_TRUE(router.Route(1));
  EXPECT_TRUE(router.Route(2));
  EXPECT_FALSE(router.Route(3));  // no table handles it
  EXPECT_EQ(ran, (std::vector<std::string>{"list 1", "frame 2"}));
  EXPECT_FALSE(router.IsEnabled(3));
}

TEST(CommandRouter, UpdateHandlersDecideEnablingInTheSameOrder) {
  CCommandRouter router;
  int selected = 0;
  int downloads = 0;
  CCommandTable& list = router.Table(CCommandRouter::Level::ListWindow);
  list.On(command::kDownload, [&] { ++downloads; });
  list.OnUpdate(command::kDownload, [&] { return selected == 1; });
  // A frame that would always allow it does not get the say.
  router.Table(CCommandRouter::Level::Frame).On(command::kDownload, [] {});

  for (int rows : {0, 1, 2}) {
    selected = rows;
    EXPECT_EQ(router.IsEnabled(command::kDownload), rows == 1) << rows;
    EXPECT_EQ(router.Route(command::kDownload), rows == 1) << rows;
  }
  EXPECT_EQ(downloads, 1);

  // An update handler without a handler does not make a command enabled.
  list.OnUpdate(command::kHackCode, [] { return true; });
  EXPECT_FALSE(router.IsEnabled(command::kHackCode));
}
