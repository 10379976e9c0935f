#include "CommandRouter.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "CommandIds.h"
#include "MenuTable.h"

TEST(CommandRouter, TheFirstTableThatHandlesACommandTakesIt) {
  CCommandRouter router;
  std::vector<std::string> ran;
  router.Table(CCommandRouter::kApplication).On(1, [&] { ran.push_back("application 1"); });
  router.Table(CCommandRouter::kFrame).On(1, [&] { ran.push_back("frame 1"); });
  router.Table(CCommandRouter::kListWindow).On(1, [&] { ran.push_back("list 1"); });
  router.Table(CCommandRouter::kApplication).On(2, [&] { ran.push_back("application 2"); });
  router.Table(CCommandRouter::kFrame).On(2, [&] { ran.push_back("frame 2"); });

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
  CCommandTable& list = router.Table(CCommandRouter::kListWindow);
  list.On(command::kDownload, [&] { ++downloads; });
  list.OnUpdate(command::kDownload, [&] { return selected == 1; });
  // A frame that would always allow it does not get the say.
  router.Table(CCommandRouter::kFrame).On(command::kDownload, [] {});

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

// The texts as the frame shows them are tested with the main window.
TEST(MenuTable, LaysOutTheMenusToolbarAndKeys) {
  std::set<int> ids;
  for (const Menu& menu : MainMenus()) {
    ASSERT_FALSE(menu.items.empty());
    EXPECT_NE(menu.items.front().id, 0) << menu.title;  // no menu starts or ends on a separator
    EXPECT_NE(menu.items.back().id, 0) << menu.title;
    for (const MenuItem& item : menu.items) {
      if (item.id != 0) {
        EXPECT_TRUE(ids.insert(item.id).second) << item.text;
      }
    }
  }
  EXPECT_EQ(ids.size(), 25u);

  // Separators after Download, Export Icon, Properties and Settings.
  std::vector<int> file;
  for (const MenuItem& item : MainMenus()[0].items)
    file.push_back(item.id);
  using namespace command;
  EXPECT_EQ(file, (std::vector<int>{kUpload, kDownload, 0, kHackCode, kExportIcon, 0, kDelete,
                                    kProperties, 0, kSettings, 0, kExit}));
  EXPECT_STREQ(FindMenuItem(kSetPage3)->prompt, "Set the memory card to page three.\nSet Page 3");
  EXPECT_STREQ(FindMenuItem(kDelete)->prompt, "");
  EXPECT_EQ(FindMenuItem(kCut), nullptr);

  EXPECT_EQ(ToolbarButtons(),
            (std::vector<int>{kRefresh, 0, kSetPage1, kSetPage2, kSetPage3, kSetPage4, 0, kAbout}));
  std::set<int> keyed;
  for (const Accelerator& key : Accelerators())
    keyed.insert(key.id);
  for (int id : {kSetPage1, kSetPage4, kRefresh, kProperties, kDelete, kHelp, kContextHelp, kCut,
                 kCopy, kPaste, kUndo, kNextPane, kPreviousPane}) {
    EXPECT_EQ(keyed.count(id), 1u) << id;
  }
}
