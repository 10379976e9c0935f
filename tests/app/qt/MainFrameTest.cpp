#include "MainFrame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CommandIds.h"
#include "DciFile.h"
#include "DemoCard.h"
#include "LinkSettingsStore.h"
#include "NoPortRoad.h"
#include "ScratchDirectory.h"
#include "ScriptedUser.h"

namespace {

// The main window over the demo card, with a scripted user.
class MainWindow : public ::testing::Test {
 protected:
  MainWindow()
      : qsettings_(QString::fromStdString(scratch_.File("Korvantis.conf")), QSettings::IniFormat),
        store_(qsettings_) {
    sim_.LoadPage(MakeDemoPage());
    Open(sim_.MakeCard());
  }

  void Open(std::unique_ptr<CVmuCard> card) {
    frame_.reset();
    auto user = std::make_unique<CScriptedUser>();
    user_ = user.get();
    CMainFrame::Services services;
    services.card = std::move(card);
    services.settings = &store_;
    services.user = std::move(user);
    frame_ = std::make_unique<CMainFrame>(std::move(services));  // the real progress dialog
    frame_->show();
    frame_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));  // its keys work only then
  }

  QAction* Action(int id) { return frame_->GetAction(id); }
  int Rows() { return frame_->GetListView()->GetModel()->rowCount(); }
  void SelectRows(const std::vector<int>& rows) {
    QTreeView* view = frame_->GetListView()->GetDetailsView();
    view->selectionModel()->clearSelection();
    for (int row : rows) {
      view->selectionModel()->select(frame_->GetListView()->GetModel()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  CScratchDirectory scratch_;
  CCardOnSimulator sim_;
  QSettings qsettings_;
  CLinkSettingsStore store_;
  CScriptedUser* user_ = nullptr;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace

TEST_F(MainWindow, MenusCarryTheTextsKeysAndPrompts) {
  using namespace command;
  EXPECT_EQ(frame_->windowTitle(), "Korvantis");
  QStringList titles;
  for (QAction* menu : frame_->menuBar()->actions())
    titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Memory Card", "&Help"}));

  EXPECT_EQ(Action(kRefresh)->text(), "&Refresh");
  EXPECT_EQ(Action(kRefresh)->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(Action(kRefresh)->statusTip(), "Refresh the list of files from the memory card.");
  EXPECT_EQ(Action(kRefresh)->toolTip(), "Refresh");
  EXPECT_EQ(Action(kSetPage3)->shortcut(), QKeySequence("Ctrl+3"));
  EXPECT_EQ(Action(kProperties)->shortcuts().front(), QKeySequence("Alt+Return"));
  EXPECT_EQ(Action(kExit)->toolTip(), "Exit");
  EXPECT_EQ(frame_->statusBar()->currentMessage(), "For Help, press F1.");

  // Commands no table handles are disabled, their keys included.
  for (int id : {kHackCode, kExportIcon, kDelete, kFormat, kSetIcon, kCut, kPaste, kUndo}) {
    EXPECT_FALSE(Action(id)->isEnabled()) << id;
  }
  for (int id : {kRefresh, kSetPage1, kSetPage4, kAbout, kUpload, kBackup, kRestore, kSettings}) {
    EXPECT_TRUE(Action(id)->isEnabled()) << id;
  }
  QStringList context;
  for (QAction* item : frame_->GetContextMenu()->actions())
    context << item->text();
  EXPECT_EQ(context,
            (QStringList{"&Upload To Card...", "&Download From Card...", "", "&Hack Code...",
                         "Export &Icon...", "", "&Delete", "P&roperties..."}));
}

TEST_F(MainWindow, RefreshFillsTheRowsAndOneSelectedRowEnablesTheFileCommands) {
  EXPECT_EQ(Rows(), 0);  // nothing is read before the user asks
  EXPECT_EQ(sim_.Sim().GetCounters().reads, 0u);
  QTest::keyClick(frame_->GetListView()->GetDetailsView(), Qt::Key_F5);
  ASSERT_EQ(Rows(), 3);
  EXPECT_TRUE(frame_->isEnabled());  // again, after the "Data Transfer" dialog
  QStandardItemModel* model = frame_->GetListView()->GetModel();
  EXPECT_EQ(model->item(1, 0)->text(), "RACE_GHOST01");
  EXPECT_EQ(model->item(1, 7)->text(), "Yes");
  EXPECT_EQ(model->item(2, 0)->data(CCardListView::kIndexRole).toInt(), 2);

  for (const auto& [rows, enabled] :
       std::vector<std::pair<std::vector<int>, bool>>{{{}, false}, {{0}, true}, {{0, 2}, false}}) {
    SelectRows(rows);
    EXPECT_EQ(Action(command::kDownload)->isEnabled(), enabled);
    EXPECT_EQ(Action(command::kProperties)->isEnabled(), enabled);
    EXPECT_TRUE(Action(command::kUpload)->isEnabled());
  }

  FileTexts shown;
  frame_->GetListView()->showProperties = [&](const FileTexts& texts) { shown = texts; };
  SelectRows({1});
  frame_->RunCommand(command::kProperties);
  EXPECT_EQ(shown.Text(FileColumn::FileName), "RACE_GHOST01");
  EXPECT_TRUE(shown.copyProtect);
  EXPECT_EQ(shown.Text(FileColumn::Size), "6 Blocks");
  EXPECT_TRUE(user_->messages.empty());
}

TEST_F(MainWindow, ViewModesMarkTheirItemAndDetailsResetsTheWidths) {
  using namespace command;
  CCardListView* list = frame_->GetListView();
  EXPECT_TRUE(Action(kDetails)->isChecked());
  QTreeView* details = list->GetDetailsView();
  details->setColumnWidth(2, 37);
  details->header()->moveSection(0, 3);

  for (int id : {kLargeIcons, kSmallIcons, kList}) {
    frame_->RunCommand(id);
    EXPECT_TRUE(Action(id)->isChecked());
    EXPECT_FALSE(Action(kDetails)->isChecked());
    EXPECT_EQ(list->GetCurrentView(), list->GetIconView());
  }
  EXPECT_EQ(list->GetIconView()->viewMode(), QListView::ListMode);
  frame_->RunCommand(kDetails);
  EXPECT_EQ(list->GetCurrentView(), details);
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    EXPECT_EQ(details->columnWidth(static_cast<int>(column)), CCardListView::kDetailsWidths[column])
        << column;
  }
}

TEST_F(MainWindow, ContextMenuFromTheKeyboardOpensNearTheTopLeft) {
  CCardListView* list = frame_->GetListView();
  QSignalSpy spy(list, &CCardListView::contextMenuRequested);
  QWidget* viewport = list->GetDetailsView()->viewport();
  QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(40, 40),
                             viewport->mapToGlobal(QPoint(40, 40)));
  // The frame pops the menu up at once; close it as soon as it shows.
  QMetaObject::invokeMethod(
      frame_.get(), [this] { frame_->GetContextMenu()->close(); }, Qt::QueuedConnection);
  QApplication::sendEvent(viewport, &keyboard);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toPoint(), viewport->mapToGlobal(QPoint(5, 5)));
}

TEST_F(MainWindow, StartUpAppliesTheStoredSettingsAndExplainsAMissingPort) {
  qsettings_.setValue("Communications/Timeout", 7);
  qsettings_.setValue("Communications/DelayFactor", 3);
  Open(sim_.MakeCard());
  CVmuLink* link = frame_->GetCard().GetLink();
  EXPECT_EQ(link->GetTimeout(), 7000000u);
  EXPECT_EQ(link->GetDelayFactor(), 0u);                     // a simulated card needs no delay
  EXPECT_FALSE(qsettings_.contains("Communications/Port"));  // nothing written at start

  Open(std::make_unique<CVmuCard>(std::make_unique<CVmuLink>([](std::uint16_t) {
    return PortRoadChoice{std::make_unique<CNoPortRoad>(), "No parallel port has that address."};
  })));
  auto* problem = frame_->statusBar()->findChild<QLabel*>("portProblem");
  ASSERT_NE(problem, nullptr);
  EXPECT_EQ(problem->text(), "No parallel port has that address.");
  EXPECT_TRUE(problem->isVisible());
}

TEST_F(MainWindow, TheMainWindowIsEnabledAgainAfterAFailure) {
  sim_.Sim().Faults().silentAfter = 0;  // fails at its first unit
  frame_->GetCard().GetLink()->SetTimeout(0);
  frame_->RunCommand(command::kBackup);
  EXPECT_EQ(user_->messages.size(), 1u);
  EXPECT_TRUE(frame_->isEnabled());
  EXPECT_TRUE(user_->choicesAsked.empty());  // no save dialog after a failure
}

// In one desktop process: an upload whose entry cannot be stored leaves
// nothing in the cache, so the next Refresh and upload keep every file
// intact, and a card put in meanwhile is not written by the Refresh. The
// status bar shows the free blocks the Refresh counted.
TEST_F(MainWindow, AFailedUploadLeavesNothingForLaterCommands) {
  frame_->GetCard().GetLink()->SetTimeout(0);  // a silent card fails at once
  // reads: the blocks not cached yet; then 3 data blocks and the table are stored.
  auto upload = [this](const char* name, int silentAfter) {
    CVmuDirEntry entry = MakeEntry(0x33, 0, 3);
    entry.SetFileName((std::string(name) + "        ").c_str());
    const std::string path = scratch_.File(std::string(name) + ".dci");
    ASSERT_TRUE(CDciFile::Write(path, entry, std::vector<std::uint8_t>(3 * 512, name[0])));
    user_->AnswerNextChoice(path);
    sim_.Sim().ResetCounters();
    sim_.Sim().Faults().silentAfter = silentAfter;
    frame_->RunCommand(command::kUpload);
    sim_.Sim().Faults().silentAfter = -1;
    EXPECT_EQ(user_->messages.size(), silentAfter < 0 ? 0u : 1u);
    user_->messages.clear();
  };
  auto* freeBlocks = frame_->statusBar()->findChild<QLabel*>("freeBlocks");
  ASSERT_NE(freeBlocks, nullptr);
  const CPageImage demo = sim_.ReadPage();
  upload("LOST", 15 + 3 * 4 + 4);  // reads: root, 13 directory blocks, table
  frame_->RunCommand(command::kRefresh);
  EXPECT_EQ(freeBlocks->text(), "187 blocks free");  // the lost upload's blocks stay used
  upload("KEPT", -1);
  const CPageImage card = sim_.ReadPage();
  EXPECT_EQ(ConsistencyProblems(card, true), std::vector<std::string>{});
  for (const PageFile& file : FilesOf(demo))
    EXPECT_EQ(ChainBytes(card, FindFile(card, file.name).chain), ChainBytes(demo, file.chain));
  EXPECT_EQ(ChainBytes(card, FindFile(card, "KEPT        ").chain),
            std::vector<std::uint8_t>(3 * 512, 'K'));
  EXPECT_EQ(FindFile(card, "LOST        ").slot, 0xFFFF);

  upload("LOST", 3 * 4 + 4);  // everything it reads is cached
  sim_.LoadPage(CPageImage::Formatted());
  sim_.Sim().ResetCounters();
  frame_->RunCommand(command::kRefresh);
  EXPECT_EQ(sim_.Sim().GetCounters().writeUnits, 0u);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(freeBlocks->text(), "200 blocks free");
}
