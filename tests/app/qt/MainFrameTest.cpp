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

#include "CardOnSimulator.h"
#include "CommandIds.h"
#include "DemoCard.h"
#include "LinkSettingsStore.h"
#include "NoPortRoad.h"
#include "ResultAssertion.h"
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

  void Open(std::unique_ptr<CVmuCard> card, CSimulatedCard* simulated = nullptr) {
    frame_.reset();
    auto user = std::make_unique<CScriptedUser>();
    user_ = user.get();
    CMainFrame::Services services;
    services.card = std::move(card);
    services.simulated = simulated;
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

// Over a card image the frame keeps every command to what the image can hold.
TEST_F(MainWindow, AReadOnlyOnePageImageIsNeitherWrittenNorSavedOver) {
  using namespace command;
  const std::string image = scratch_.File("card.bin");
  ASSERT_TRUE(Succeeded(CPageImage::WriteNewFile(image, {MakeDemoPage()})));
  const auto before = ReadBytes(image);
  ASSERT_TRUE(
      Succeeded(sim_.Sim().OpenImage(image, ImageAccess::WriteIfAllowed, ReadOnlyFileCalls())));
  Open(sim_.MakeCard(), &sim_.Sim());
  sim_.Sim().ResetCounters();

  frame_->RunCommand(kRestore);
  frame_->RunCommand(kSetPage2);
  EXPECT_EQ(user_->messages, (std::vector<std::string>{"The card image " + image + " is read-only.",
                                                       "This card image holds one page."}));
  EXPECT_TRUE(user_->choicesAsked.empty());
  EXPECT_EQ(sim_.Sim().GetCounters().transactions, 0u);

  user_->AnswerNextChoice(image);
  frame_->RunCommand(kBackup);
  EXPECT_EQ(user_->messages.back(), image + " is the card image itself; choose another file.");
  EXPECT_EQ(ReadBytes(image), before);
  frame_->RunCommand(kSetPage1);
  EXPECT_EQ(sim_.Sim().GetCounters().pageSelects, 1u);
}
