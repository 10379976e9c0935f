#include "MainFrame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <deque>
#include <filesystem>
#include <fstream>

#include "AdapterTransport.h"
#include "CardConsistency.h"
#include "CardOnSimulator.h"
#include "CommandIds.h"
#include "DciFile.h"
#include "DemoCard.h"
#include "LinkSettingsStore.h"
#include "ManualClock.h"
#include "Messages.h"
#include "NoPortRoad.h"
#include "OnScreen.h"
#include "PageCommands.h"
#include "ProgressDlg.h"
#include "QtUserPrompts.h"
#include "RecentImages.h"
#include "ResultAssertion.h"
#include "ScratchDirectory.h"
#include "SimulatedAdapter.h"
#include "SimulatedPortRoad.h"
#include "StatusPane.h"

namespace {

// The desktop's own prompts, busy cursor included, with the messages written
// down and the file choices answered from a script instead of dialogs.
class CTestUser : public CQtUserPrompts {
 public:
  CTestUser() : CQtUserPrompts(nullptr) {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool ChooseFileToOpen(const FileKind&, std::string& path) override { return Answer(path); }
  bool ChooseFilesToOpen(const FileKind&, std::vector<std::string>& paths) override {
    paths.resize(1);
    return Answer(paths[0]);
  }
  bool ChooseFolderAndFormat(std::string& path, CardFileFormat& format) override {
    format = CardFileFormat::Vms;
    return Answer(path);
  }
  bool ChooseFileToSave(const FileKind&, std::string& path) override {
    suggested.push_back(path);
    return Answer(path);
  }
  bool AskYesNo(const std::string& question, bool) override {
    questions.push_back(question);
    return true;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> suggested;  // the names each save choice offered
  std::deque<std::string> answers;
  std::function<void()> beforeAnswer;  // stands in for the file dialog

 private:
  bool Answer(std::string& path) {
    if (beforeAnswer) beforeAnswer();
    if (answers.empty()) return false;
    path = answers.front();
    answers.pop_front();
    return true;
  }
};

// The road to the simulated card, noting whether the link works while the
// main window is enabled (outside the progress window) without the busy cursor.
class CWatchedRoad : public CSimulatedPortRoad {
 public:
  CWatchedRoad(CSimulatedCard& card, std::function<void()> onAccess)
      : CSimulatedPortRoad(card), onAccess_(std::move(onAccess)) {}
  std::uint8_t ReadRegister(std::uint16_t offset) override {
    onAccess_();
    return CSimulatedPortRoad::ReadRegister(offset);
  }
  void WriteRegister(std::uint16_t offset, std::uint8_t value) override {
    onAccess_();
    CSimulatedPortRoad::WriteRegister(offset, value);
  }

 private:
  std::function<void()> onAccess_;
};

// The real "Data Transfer" dialog, looked at each time the operation reports
// a position, before the dialog handles any event.
class CWatchedProgressDlg : public CProgressDlg {
 public:
  CWatchedProgressDlg(QWidget* parent, std::function<void(CWatchedProgressDlg&)> onPosition)
      : CProgressDlg(parent), onPosition_(std::move(onPosition)) {}
  std::int32_t SetPos(std::int32_t position) override {
    onPosition_(*this);
    return CProgressDlg::SetPos(position);
  }

 private:
  std::function<void(CWatchedProgressDlg&)> onPosition_;
};

// What the window showed when the operation reported a position.
struct AtPosition {
  bool drawn;     // the dialog's text, percentage, bar and Cancel button on the screen
  bool busy;      // the busy cursor
  bool menuOpen;  // any menu still open
  int rows;
};

bool IsBusyCursor() {
  return QApplication::overrideCursor() != nullptr &&
         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

bool Drawn(QWidget* dialog) {
  for (const char* name : {"message", "percent", "bar", "cancel"}) {
    if (IsPlain(OnScreen(dialog->findChild<QWidget*>(name)))) return false;
  }
  return true;
}

// The main window over the demo card, with the real progress dialog.
class MainWindow : public ::testing::Test {
 protected:
  MainWindow()
      : qsettings_(QString::fromStdString(scratch_.File("Korvantis.conf")), QSettings::IniFormat),
        store_(qsettings_),
        recent_(qsettings_) {
    sim_.LoadPage(MakeDemoPage());
    CardSource source;
    source.card = std::make_unique<CVmuCard>(std::make_unique<CWatchedRoad>(sim_.Sim(), [this] {
      if (frame_ && frame_->isEnabled()) {
        ++accessesOutsideDialog_;
        if (!IsBusyCursor()) ++accessesNotBusy_;
      }
    }));
    Open(std::move(source));
  }

  void Open(CardSource source) {
    frame_.reset();
    auto user = std::make_unique<CTestUser>();
    user_ = user.get();
    CMainFrame::Services services;
    services.card = std::move(source);
    services.imageRoad = imageRoad_;
    services.settings = &store_;
    services.recentImages = &recent_;
    services.viewSettings = &qsettings_;
    services.user = std::move(user);
    services.progress = [this] {
      return std::make_unique<CWatchedProgressDlg>(
          frame_->GetListView(), [this](CWatchedProgressDlg& dialog) {
            seen_.push_back({Drawn(&dialog), IsBusyCursor(),
                             QApplication::activePopupWidget() != nullptr, Rows()});
          });
    };
    services.makePortCard = [] { return NoPortCard("No parallel port has that address."); };
    services.safetyCopies = scratch_.File("safety-copies");
    services.openFolder = [](const QString&) { return false; };  // no file manager answers
    services.findAdapterCards = findAdapterCards_;
    services.openAdapterCard = openAdapterCard_;
    frame_ = std::make_unique<CMainFrame>(std::move(services));
    frame_->show();
    frame_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));  // its keys work only then
  }

  static std::unique_ptr<CVmuCard> NoPortCard(const std::string& problem) {
    return std::make_unique<CVmuCard>(std::make_unique<CVmuLink>([problem](std::uint16_t) {
      return PortRoadChoice{std::make_unique<CNoPortRoad>(),
                            problem.empty() ? Result() : Result::Failure(problem)};
    }));
  }

  QAction* Action(int id) { return frame_->GetAction(id); }
  QStandardItemModel* Model() { return frame_->GetListView()->GetModel(); }
  int Rows() { return Model()->rowCount(); }
  QTreeView* Details() { return frame_->GetListView()->GetDetailsView(); }
  QString Pane(const char* name) {
    auto* pane = frame_->statusBar()->findChild<QLabel*>(name);
    return pane != nullptr && pane->isVisible() ? pane->text() : QString();
  }
  // What the status bar's message pane says: a prompt, or else the idle text.
  QString Status() {
    const QString prompt = frame_->statusBar()->currentMessage();
    return prompt.isEmpty() ? frame_->statusBar()->findChild<CStatusPane*>("message")->FullText()
                            : prompt;
  }
  // Refresh as F5 gives it, and back to the main window.
  void Refresh() {
    frame_->RunCommand(command::kRefresh);
    seen_.clear();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  }
  void SelectRows(const std::vector<int>& rows) {
    Details()->selectionModel()->clearSelection();
    for (int row : rows) {
      Details()->selectionModel()->select(Model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  void Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = frame_->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &drop);
    QCoreApplication::processEvents();  // the files are taken after the drop
  }
  std::string DemoImage(const std::vector<CPageImage>& pages = {MakeDemoPage()}) {
    const std::string path = scratch_.File(pages.size() == 1 ? "saves.bin" : "four.bin");
    const Result written = CPageImage::WriteNewFile(path, pages);
    EXPECT_TRUE(written.Ok()) << written.Message();
    return path;
  }

  CScratchDirectory scratch_;
  CCardOnSimulator sim_;
  QSettings qsettings_;
  CLinkSettingsStore store_;
  CRecentImages recent_;
  CTestUser* user_ = nullptr;
  ImageRoad imageRoad_ = ImageRoad::File;
  // No USB adapter is attached unless a test says otherwise.
  std::function<Result(std::vector<AdapterCards>&)> findAdapterCards_ =
      [](std::vector<AdapterCards>&) { return Result(); };
  std::function<Result(const std::string&, const std::string&, CardSource&)> openAdapterCard_ =
      [](const std::string&, const std::string&, CardSource&) {
        return Result::Failure(message::kUsbNoAdapter.text);
      };
  CManualClock clock_;
  std::vector<AtPosition> seen_;
  int accessesOutsideDialog_ = 0;
  int accessesNotBusy_ = 0;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace

TEST_F(MainWindow, MenusOfferOnlyTheKeysTheirTextsShow) {
  using namespace command;
  // Properties and Delete show no key beside them, but their keys work.
  EXPECT_TRUE(Action(kProperties)->shortcuts().isEmpty());
  EXPECT_TRUE(Action(kDelete)->shortcuts().isEmpty());
  Refresh();
  SelectRows({1});
  FileTexts shown;
  frame_->GetListView()->showProperties = [&](const FileTexts& texts) { shown = texts; };
  QTest::keyClick(Details(), Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown.Text(FileColumn::FileName) == "RACE_GHOST01"; }));

  // Commands no table handles are disabled, their keys included.
  for (int id : {kHackCode, kCut, kPaste, kUndo}) {
    EXPECT_FALSE(Action(id)->isEnabled()) << id;
  }
  EXPECT_FALSE(Action(kUsePort)->isEnabled());  // on the port already
}

// Refresh from the View menu: the menu is gone and the dialog drawn before
// the first unit ends, the root block is read under the busy cursor, and
// every row shows as soon as it is read.
TEST_F(MainWindow, RefreshShowsTheDialogAndEachRowAtOnce) {
  EXPECT_EQ(sim_.Sim().GetCounters().reads, 0u);  // nothing is read before the user asks
  QMenu* view = frame_->menuBar()->actions()[1]->menu();
  view->popup(frame_->mapToGlobal(QPoint(10, 10)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  QTest::keyClick(view, Qt::Key_R);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !seen_.empty() && frame_->isEnabled(); }));

  ASSERT_EQ(Rows(), 3);
  EXPECT_TRUE(seen_.front().drawn);
  EXPECT_TRUE(seen_.front().busy);
  EXPECT_FALSE(seen_.front().menuOpen);
  EXPECT_EQ(seen_.front().rows, 1);  // entry 0's row, before its position is reported
  EXPECT_EQ(seen_.back().rows, 3);
  EXPECT_GT(accessesOutsideDialog_, 0);
  EXPECT_EQ(accessesNotBusy_, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  for (const auto& [rows, enabled] :
       std::vector<std::pair<std::vector<int>, bool>>{{{}, false}, {{0}, true}, {{0, 2}, false}}) {
    SelectRows(rows);
    EXPECT_EQ(Action(command::kDownload)->isEnabled(), !rows.empty());  // several to a folder
    EXPECT_EQ(Action(command::kProperties)->isEnabled(), enabled);
  }
  EXPECT_TRUE(user_->messages.empty());
}

// The demo card's first file (blocks 199, 198, ...) with an opaque blue
// icon and two kanji as its long description.
TEST_F(MainWindow, TheListShowsTheFilesOwnIconsAndJapaneseText) {
  using namespace command;
  CPageImage page = MakeDemoPage();
  std::uint8_t* header = page.GetBlock(199);
  std::memcpy(header + 16, "\x94\xc1\x94\xb5", 4);
  header[0x40] = 1;
  header[0x41] = 0;
  card_format::PutLe16(header + 0x62, 0xF00F);
  std::memset(header + 0x80, 0x11, 384);
  std::memset(page.GetBlock(198), 0x11, 128);
  sim_.LoadPage(page);
  auto pixel = [this](int x, int y) {
    return Model()->item(0, 0)->icon().pixmap(32, 32).toImage().pixel(x, y);
  };

  frame_->RunCommand(kList);  // shows no file's own icon: nothing more is read
  Refresh();
  EXPECT_NE(pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(Model()->item(0, 2)->text().left(2), QString::fromUtf8("\u6591\u9ce9"));
  const auto reads = sim_.Sim().GetCounters().reads;
  frame_->RunCommand(kLargeIcons);
  EXPECT_EQ(pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(pixel(31, 31), 0xFF0000FFu);  // the frame's end, in the next block
  const auto withIcons = sim_.Sim().GetCounters().reads;
  EXPECT_GT(withIcons, reads);
  frame_->RunCommand(kSmallIcons);
  frame_->RunCommand(kTextWestern);
  EXPECT_EQ(sim_.Sim().GetCounters().reads, withIcons);  // each file's icon once per Refresh
  // Latin-1 has no character for 0x94: the cell shows its code, as the command line does.
  EXPECT_EQ(Model()->item(0, 2)->text().left(10), QString::fromUtf8("\\x94\u00c1\\x94\u00b5"));
  EXPECT_TRUE(Action(kTextWestern)->isChecked());
  EXPECT_EQ(qsettings_.value("View/Encoding").toString(), "latin1");
}

// The Menu key and Shift+F10 both open the file menu at the selected row,
// or near the top left when none is selected.
TEST_F(MainWindow, ContextMenuFromTheKeyboardOpensAtTheSelectedRow) {
  CCardListView* list = frame_->GetListView();
  QSignalSpy spy(list, &CCardListView::contextMenuRequested);
  QWidget* viewport = Details()->viewport();
  auto closeMenuWhenShown = [this] {
    QMetaObject::invokeMethod(
        frame_.get(), [this] { frame_->GetContextMenu()->close(); }, Qt::QueuedConnection);
  };
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(40, 40),
                            viewport->mapToGlobal(QPoint(40, 40)));
  closeMenuWhenShown();
  QApplication::sendEvent(viewport, &menuKey);
  closeMenuWhenShown();
  QTest::keyClick(Details(), Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_EQ(spy.count(), 2);
  for (const QList<QVariant>& request : spy)
    EXPECT_EQ(request.at(0).toPoint(), viewport->mapToGlobal(QPoint(5, 5)));

  Refresh();
  SelectRows({2});
  closeMenuWhenShown();
  QTest::keyClick(Details(), Qt::Key_F10, Qt::ShiftModifier);
  const QRect row = Details()->visualRect(Model()->index(2, 0));
  EXPECT_EQ(spy.takeLast().at(0).toPoint(),
            viewport->mapToGlobal(QPoint(row.left() + 5, row.center().y())));
}

// A save choice offers the card file's name, made safe, or the page and day.
TEST_F(MainWindow, SaveChoicesSuggestTheFileOrThePage) {
  using namespace command;
  Refresh();
  SelectRows({1});
  frame_->RunCommand(kDownload);
  frame_->RunCommand(kExportIcon);
  frame_->RunCommand(kBackup);
  frame_->RunCommand(kSetPage2);
  frame_->RunCommand(kBackup);
  const std::string day = BackupFileName(0, std::time(nullptr)).substr(4);
  EXPECT_EQ(user_->suggested, (std::vector<std::string>{"RACE_GHOST01.dci", "RACE_GHOST01.png",
                                                        "page" + day, "page2" + day}));
}

// Settings greys what a card image ignores and says why; the safety copies
// folder that no file manager opens is named in a message.
TEST_F(MainWindow, SettingsForAnImageAndTheSafetyFolderLeaveNoGuessing) {
  const auto settingsShown = [this] {
    std::vector<bool> seen;
    QTimer::singleShot(0, frame_.get(), [&seen] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      for (auto* box : dialog->findChildren<QGroupBox*>())
        seen.push_back(box->isEnabled());
      seen.push_back(dialog->findChild<QLabel*>("imageInUse")->isVisible());
      dialog->close();
    });
    frame_->RunCommand(command::kSettings);
    return seen;
  };
  EXPECT_EQ(settingsShown(), (std::vector<bool>{true, true, false}));
  ASSERT_TRUE(frame_->OpenImage(QString::fromStdString(DemoImage())));
  EXPECT_EQ(settingsShown(), (std::vector<bool>{false, false, true}));

  frame_->RunCommand(command::kOpenSafetyCopies);
  EXPECT_EQ(user_->messages.back(),
            Fill(message::kSafetyCopiesFolderIs, {scratch_.File("safety-copies")}));
}

// Card images are read as files; through the simulated wire, which a trace
// needs, only when the frame is told so.
TEST_F(MainWindow, ReadsCardImagesAsFilesUnlessToldToUseTheWire) {
  const QString image = QString::fromStdString(DemoImage());
  for (const ImageRoad road : {ImageRoad::File, ImageRoad::Wire}) {
    imageRoad_ = road;
    CardSource port;
    port.card = NoPortCard("");
    Open(std::move(port));
    ASSERT_TRUE(frame_->OpenImage(image));
    EXPECT_EQ(frame_->GetCard().GetLink() != nullptr, road == ImageRoad::Wire);
    Refresh();
    EXPECT_EQ(Rows(), 3);
  }
}

TEST_F(MainWindow, FitsTheScreenAndKeepsPromptsAndPanesApartWithoutAPort) {
  // The test screen is 800 x 600, smaller still than the 1024 x 768 the window must fit.
  const QRect screen = frame_->screen()->availableGeometry();
  ASSERT_LE(screen.width(), 1024);
  EXPECT_TRUE(screen.contains(frame_->frameGeometry())) << screen.width() << "x" << screen.height();

  frame_->RunCommand(command::kSetPage2);
  EXPECT_EQ(Pane("page"), "Page 2");
  frame_->ShowFreeBlocks(1);
  EXPECT_EQ(Pane("freeBlocks"), "1 block free");
  frame_->ShowFreeBlocks(-1);
  EXPECT_EQ(Pane("freeBlocks"), "");

  qsettings_.setValue("Communications/Timeout", 0);
  frame_->RunCommand(command::kUsePort);  // not enabled on the port
  frame_->OpenImage(QString::fromStdString(DemoImage()));
  frame_->RunCommand(command::kUsePort);
  EXPECT_EQ(Pane("page"), "");  // another card: its page is not known
  const QString problem = "No parallel port has that address.";
  EXPECT_EQ(Pane("portProblem"), "Port not reachable");
  EXPECT_EQ(frame_->statusBar()->findChild<QLabel*>("portProblem")->toolTip(), problem);
  // The problem is the idle text until the first prompt; prompts still show.
  EXPECT_EQ(Status(), problem);
  QStatusTipEvent prompt("Refresh the list of files from the memory card.");
  QApplication::sendEvent(frame_.get(), &prompt);
  EXPECT_EQ(Status(), prompt.tip());
  EXPECT_EQ(Pane("message"), "");  // covered by the prompt, not drawn beneath it
  QStatusTipEvent none{QString()};
  QApplication::sendEvent(frame_.get(), &none);
  EXPECT_EQ(Status(), "For Help, press F1.");
  EXPECT_EQ(Pane("message"), "For Help, press F1.");
  EXPECT_EQ(Pane("portProblem"), "Port not reachable");
  // A pane too narrow for its text ends with whole words and "…", the whole text its tip.
  auto* pane = frame_->statusBar()->findChild<CStatusPane*>("message");
  pane->SetText(problem);
  pane->resize(pane->fontMetrics().horizontalAdvance("No parallel port h…"), pane->height());
  EXPECT_EQ(pane->text(), QString::fromUtf8("No parallel port\u2026"));
  EXPECT_EQ(pane->toolTip(), problem);

  frame_->RunCommand(command::kSetPage3);  // times out at once
  EXPECT_EQ(user_->messages,
            std::vector<std::string>{problem.toStdString() + "  " + message::kTimedOut.text});
  EXPECT_EQ(Pane("page"), "");
  EXPECT_TRUE(frame_->isEnabled());
}

TEST_F(MainWindow, OpensCardImagesFromTheFileMenuTheRecentListAndADrop) {
  const QString image = QString::fromStdString(DemoImage());
  user_->answers.push_back(image.toStdString());
  frame_->RunCommand(command::kOpenImage);
  EXPECT_EQ(frame_->windowTitle(), "saves.bin - Korvantis");
  EXPECT_EQ(recent_.List(), QStringList{image});
  EXPECT_TRUE(Action(command::kRecentImage1)->isVisible());
  EXPECT_EQ(Action(command::kRecentImage1)->text(), "&1 saves.bin");
  EXPECT_FALSE(Action(command::kRecentImage1 + 1)->isVisible());
  Refresh();
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(sim_.Sim().GetCounters().reads, 0u);  // the image, not the card before it

  frame_->RunCommand(command::kUsePort);
  EXPECT_EQ(frame_->windowTitle(), "Korvantis");
  EXPECT_EQ(Rows(), 0);  // the image's rows went with it
  frame_->RunCommand(command::kRecentImage1);
  EXPECT_EQ(frame_->windowTitle(), "saves.bin - Korvantis");

  frame_->RunCommand(command::kUsePort);
  const QString dump = QString::fromStdString(scratch_.File("SAVES.VMD"));  // a console's dump
  ASSERT_TRUE(QFile::copy(image, dump));
  Drop({QUrl::fromLocalFile(dump)});
  EXPECT_EQ(frame_->windowTitle(), "SAVES.VMD - Korvantis");

  // A file that is no card image changes nothing, and leaves the recent list.
  const std::string bad = scratch_.File("notes.bin");
  std::ofstream(bad) << "not a card";
  EXPECT_FALSE(frame_->OpenImage(QString::fromStdString(bad)));
  EXPECT_EQ(user_->messages.size(), 1u);
  EXPECT_EQ(frame_->windowTitle(), "SAVES.VMD - Korvantis");
  Drop({QUrl::fromLocalFile(image), QUrl::fromLocalFile(QString::fromStdString(bad))});
  EXPECT_EQ(user_->messages.back(), message::kDropNotUnderstood.text);
}

// An image is listed as it opens. An upload shows its row and the free
// blocks it left without reading the card again; a replace updates its row.
TEST_F(MainWindow, TheListFollowsTheCardAsImagesOpenAndFilesAreUploaded) {
  Refresh();
  auto upload = [this](std::uint16_t size, char fill) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, size);
    entry.SetFileName("NEWSAVE     ");
    const std::string path = scratch_.File(std::string(1, fill) + ".dci");
    ASSERT_TRUE(CDciFile::Write(path, entry, std::vector<std::uint8_t>(size * 512u, fill)));
    user_->answers.push_back(path);
    frame_->RunCommand(command::kUpload);
  };
  const auto reads = sim_.Sim().GetCounters().reads;
  upload(3, 'N');
  EXPECT_EQ(sim_.Sim().GetCounters().reads, reads);
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Model()->item(3, 0)->text(), "NEWSAVE     ");
  EXPECT_EQ(Model()->item(3, 1)->text(), QString(16, 'N'));
  EXPECT_EQ(Pane("freeBlocks"), "187 blocks free");
  upload(1, 'R');  // the same name: asked, then replaced in its slot
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Model()->item(3, 1)->text(), QString(16, 'R'));
  EXPECT_EQ(Model()->item(3, 4)->text(), "1 Block");
  EXPECT_EQ(Pane("freeBlocks"), "189 blocks free");
  EXPECT_TRUE(user_->messages.empty());
  ASSERT_TRUE(frame_->OpenImage(QString::fromStdString(DemoImage())));
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Pane("freeBlocks"), "190 blocks free");
}

// An upload: busy from the start, the ordinary cursor over the file dialog,
// and the progress window whole at its first report after the dialog.
TEST_F(MainWindow, AfterAFileDialogTheProgressWindowIsWholeAndTheCommandBusy) {
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, 3);
  entry.SetFileName("NEW_SAVE    ");
  const std::string path = scratch_.File("NEW_SAVE.dci");
  ASSERT_TRUE(CDciFile::Write(path, entry, std::vector<std::uint8_t>(3 * 512, 7)));
  user_->answers.push_back(path);
  bool busyBefore = false;
  Qt::CursorShape overDialog = Qt::WaitCursor;
  user_->beforeAnswer = [&] {
    busyBefore = IsBusyCursor();
    QDialog dialog(frame_.get());
    QTimer::singleShot(0, &dialog, [&] {
      overDialog = QApplication::overrideCursor()->shape();
      dialog.accept();
    });
    dialog.exec();
  };
  frame_->RunCommand(command::kUpload);
  EXPECT_TRUE(busyBefore);
  EXPECT_EQ(overDialog, Qt::ArrowCursor);
  ASSERT_FALSE(seen_.empty());
  EXPECT_TRUE(seen_.front().drawn);
  EXPECT_TRUE(seen_.front().busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(user_->messages.empty());
}

// Details: Filename as wide as the longest name, the columns within the
// window; a width the user set stays through a Refresh and the next session.
TEST_F(MainWindow, DetailsColumnsFitTheirContentsAndKeepTheUsersWidths) {
  Refresh();
  QCoreApplication::processEvents();  // the columns are fitted once the program is idle
  int longest = 0;
  for (int row = 0; row < Rows(); ++row) {
    longest = std::max(longest,
                       Details()->fontMetrics().horizontalAdvance(Model()->item(row, 0)->text()));
  }
  EXPECT_GE(Details()->columnWidth(0), longest + Details()->iconSize().width());
  EXPECT_LE(Details()->header()->length(), Details()->viewport()->width());

  Details()->header()->resizeSection(3, 77);  // as the user drags its edge
  Refresh();
  frame_->RunCommand(command::kDetails);
  QCoreApplication::processEvents();
  EXPECT_EQ(Details()->columnWidth(3), 77);
  Open(CardSource());
  EXPECT_EQ(Details()->columnWidth(3), 77);
}

// A row dragged out of the list becomes a DCI file; dropped back, it is
// uploaded as a new file.
TEST_F(MainWindow, DragsFilesOutAsDciFilesAndUploadsDroppedOnes) {
  Refresh();
  QStandardItemModel* model = Model();
  std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(1, 0), model->index(1, 3)}));
  ASSERT_NE(dragged, nullptr);
  ASSERT_EQ(dragged->urls().size(), 1);
  const QString file = dragged->urls().front().toLocalFile();
  EXPECT_TRUE(file.endsWith("/RACE_GHOST01.dci"));
  EXPECT_TRUE(frame_->isEnabled());

  accessesOutsideDialog_ = 0;
  const QString upper = file.chopped(3) + "DCI";  // as saves copied from consoles are named
  ASSERT_TRUE(QFile::rename(file, upper));
  Drop({QUrl::fromLocalFile(
      upper)});  // the same name: it replaces the file on the card, after asking
  EXPECT_TRUE(user_->messages.empty());
  EXPECT_EQ(user_->questions.size(), 1u);
  EXPECT_GT(accessesOutsideDialog_, 0);  // the allocation table and directory, read first
  EXPECT_EQ(accessesNotBusy_, 0);
  Refresh();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Model()->item(1, 0)->text(), "RACE_GHOST01");
}

// In one desktop process: an upload whose entry cannot be stored leaves
// nothing in the cache, so the next Refresh and upload keep every file
// intact, and a card put in meanwhile is not written by the Refresh. The
// status bar shows the free blocks the Refresh counted.
TEST_F(MainWindow, AFailedUploadLeavesNothingForLaterCommands) {
  frame_->GetCard().GetLink()->SetTimeout(0);  // a silent card fails at once
  // reads: the blocks not cached yet; then 3 data blocks and the table are stored.
  auto upload = [this](const char* name, int silentAfter) {
    CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, 3);
    entry.SetFileName((std::string(name) + "        ").c_str());
    const std::string path = scratch_.File(std::string(name) + ".dci");
    ASSERT_TRUE(CDciFile::Write(path, entry, std::vector<std::uint8_t>(3 * 512, name[0])));
    user_->answers.push_back(path);
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
  upload("LOST", 3 + 3 * 4 + 4);  // reads: root, table, the 13 directory blocks at once
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

namespace {
// Each care command asks or reports through the user, runs under the
// progress dialog, and leaves the list as the card now is.
TEST_F(MainWindow, DeleteCheckDefragmentAndFormatRunFromTheirMenus) {
  using namespace command;
  Refresh();
  const int files = Rows();
  SelectRows({0, 2});
  frame_->UpdateCommandUi();
  ASSERT_TRUE(Action(kDelete)->isEnabled());
  QTest::keyClick(Details(), Qt::Key_Delete);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Rows() == files - 2; }));
  ASSERT_EQ(user_->questions.size(), 1u);
  EXPECT_THAT(user_->questions[0], ::testing::StartsWith("Delete 2 files from the memory card?"));

  user_->messages.clear();
  frame_->RunCommand(kCheckCard);
  ASSERT_FALSE(user_->messages.empty());

  user_->messages.clear();
  frame_->RunCommand(kDefragment);
  ASSERT_EQ(user_->messages.size(), 1u);
  EXPECT_EQ(Rows(), files - 2);

  frame_->RunCommand(kFormat);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(FreeUserBlocks(sim_.ReadPage()).size(), 200u);
  EXPECT_FALSE(seen_.empty());  // under the progress dialog
  EXPECT_GE(std::distance(std::filesystem::directory_iterator(scratch_.File("safety-copies")),
                          std::filesystem::directory_iterator()),
            2);  // defragment and format each saved one
}
}  // namespace
// Damage Repair cannot mend: Check says so and what can still be done, with
// no Repair offered, and Defragment's refusal lists the findings with the
// same advice.
TEST_F(MainWindow, DamageRepairCannotMendLeavesNoDeadEnd) {
  CPageImage page = CPageImage::Formatted();
  ASSERT_TRUE(page.PlaceFile(0, MakeEntry(CVmuDirEntry::kData, 199, 1),
                             std::vector<std::uint8_t>(512).data()));
  std::copy(EntrySlot(page, 0), EntrySlot(page, 0) + 32, EntrySlot(page, 1));  // a twin entry
  sim_.LoadPage(page);
  frame_->RunCommand(command::kCheckCard);
  frame_->RunCommand(command::kDefragment);
  const std::string advice =
      std::string(message::kRepairCannotMend.text) + "  " + message::kDamagedFilesStillThere.text;
  ASSERT_EQ(user_->messages.size(), 2u);
  EXPECT_TRUE(user_->questions.empty());
  for (const auto& [message, first] :
       {std::pair{user_->messages[0], message::kCheckDamaged.text},
        std::pair{user_->messages[1], message::kDefragBeyondRepair.text}}) {
    EXPECT_THAT(message, ::testing::StartsWith(std::string(first) + "\n"));
    EXPECT_THAT(message, ::testing::HasSubstr("another entry has the same name."));
    EXPECT_THAT(message, ::testing::EndsWith("\n" + advice));
  }
}

// Over a card image the frame keeps every command to what the image can hold.
TEST_F(MainWindow, AReadOnlyOnePageImageIsNeitherWrittenNorSavedOver) {
  using namespace command;
  CPageImage page = MakeDemoPage();
  page.SetFatEntry(100, CVmuFat::kLastBlock);  // held by no file: Repair would free it
  const std::string image = DemoImage({page});
  const auto before = ReadBytes(image);
  CardSource source;
  source.simulated = std::make_unique<CSimulatedCard>();
  CSimulatedCard& simulated = *source.simulated;
  ASSERT_TRUE(
      Succeeded(simulated.OpenImage(image, ImageAccess::WriteIfAllowed, ReadOnlyFileCalls())));
  source.card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(simulated));
  source.imagePath = image;
  Open(std::move(source));
  QCoreApplication::processEvents();  // as an image named on the command line, listed at once
  EXPECT_EQ(Rows(), 3);
  simulated.ResetCounters();

  frame_->RunCommand(kRestore);
  frame_->RunCommand(kSetPage2);
  EXPECT_EQ(user_->messages, (std::vector<std::string>{Fill(message::kImageReadOnly, {image}),
                                                       message::kImageOnePage.text}));
  EXPECT_EQ(simulated.GetCounters().transactions, 0u);

  user_->answers.push_back(image);
  frame_->RunCommand(kBackup);
  EXPECT_EQ(user_->messages.back(), Fill(message::kImageIsOutput, {image}));

  // Rows saved into a folder never go through a link there onto the image.
  const std::string folder = scratch_.File("out/"), link = folder + "RACEGHOS.vmi";
  std::filesystem::create_directory(folder);
  std::filesystem::create_symlink(image, link);
  Refresh();
  SelectRows({0, 1});
  user_->answers.push_back(folder);
  frame_->RunCommand(kDownload);
  EXPECT_EQ(user_->messages.back(), Fill(message::kDownloadOntoInput, {link}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 3);
  EXPECT_EQ(ReadBytes(image), before);
  frame_->RunCommand(kSetPage1);
  EXPECT_EQ(simulated.GetCounters().pageSelects, 1u);
  const std::size_t asked = user_->questions.size();
  frame_->RunCommand(kCheckCard);  // Repair is refused, not offered
  EXPECT_EQ(user_->messages.back(), Fill(message::kImageReadOnly, {image}));
  EXPECT_EQ(user_->questions.size(), asked);
  EXPECT_EQ(ReadBytes(image), before);
}

// A card the adapter also shows as a USB drive: a command that changes it
// asks first, before its own questions; reading it asks nothing.
TEST_F(MainWindow, ACardSeenAsADriveIsWrittenOnlyAfterTheWarning) {
  static CManualClock clock;  // outlives the frame and its card
  auto adapter = std::make_unique<CSimulatedAdapter>(clock);
  const CPageImage page = MakeDemoPage();
  adapter->InsertCard(CardSlot{0, 1}, {page.GetData(), page.GetData() + card_format::kPageSize});
  adapter->ShowCardsAsDrive(true);
  CardSource source;
  source.card = std::make_unique<CVmuCard>(
      std::make_unique<CAdapterTransport>(std::move(adapter), clock, CardSlot{0, 1}));
  Open(std::move(source));
  Refresh();
  EXPECT_EQ(Rows(), 3);
  EXPECT_TRUE(user_->questions.empty());
  frame_->RunCommand(command::kFormat);
  ASSERT_FALSE(user_->questions.empty());
  EXPECT_EQ(user_->questions.front(), message::kAskWriteCardSeenAsDrive.text);
}

// Another page: nothing of the one before stays to be acted on, and the
// status bar asks for a Refresh; another image is listed at once. Page 3 has a file where page 2
// lists one.
TEST_F(MainWindow, AnotherImageOrPageClearsTheListAndAsksForARefresh) {
  using namespace command;
  Refresh();
  CPageImage third = CPageImage::Formatted();
  ASSERT_TRUE(third.PlaceFile(0, MakeEntry(CVmuDirEntry::kData, 199, 1),
                              std::vector<std::uint8_t>(512).data()));
  const std::string image = DemoImage({MakeDemoPage(), MakeDemoPage(), third, MakeDemoPage()});
  ASSERT_TRUE(frame_->OpenImage(QString::fromStdString(image)));
  const QString ask = message::kAskRefresh.text;
  EXPECT_EQ(Rows(), 3);  // the image's own, listed as it opens
  EXPECT_NE(Status(), ask);
  frame_->RunCommand(kSetPage2);
  Refresh();
  ASSERT_EQ(Rows(), 3);
  EXPECT_NE(Status(), ask);
  SelectRows({0});
  frame_->RunCommand(kSetPage3);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Pane("freeBlocks"), "");
  EXPECT_EQ(Status(), ask);
  const auto before = ReadBytes(image);
  for (int id : {kDelete, kProperties}) {
    EXPECT_FALSE(Action(id)->isEnabled());
    frame_->RunCommand(id);
  }
  EXPECT_TRUE(user_->questions.empty());
  EXPECT_EQ(ReadBytes(image), before);
}

// The card swapped between Refresh and a row command: slot 1 holds another
// file now, so no command acts on the row that showed RACE_GHOST01.
TEST_F(MainWindow, RowsOfACardSwappedSinceTheRefreshAreNotActedOn) {
  using namespace command;
  Refresh();
  CPageImage swapped = MakeDemoPage();
  std::swap_ranges(EntrySlot(swapped, 0), EntrySlot(swapped, 0) + 32, EntrySlot(swapped, 1));
  sim_.LoadPage(swapped);
  SelectRows({1});
  bool shown = false;
  frame_->GetListView()->showProperties = [&](const FileTexts&) { shown = true; };
  const std::string out = scratch_.File("out.dci");
  user_->answers.push_back(out);
  for (int id : {kDelete, kProperties, kDownload, kExportIcon})
    frame_->RunCommand(id);
  EXPECT_EQ(Model()->mimeData({Model()->index(1, 0)}), nullptr);  // a drag out
  EXPECT_EQ(user_->messages, std::vector<std::string>(5, message::kCardChanged.text));
  EXPECT_TRUE(user_->questions.empty());
  EXPECT_FALSE(shown);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(std::memcmp(sim_.ReadPage().GetData(), swapped.GetData(), card_format::kPageSize), 0);
}

namespace {
// The File menu's USB Adapter submenu as it opens: each item's text and
// whether it can be chosen (and is checked).
std::vector<std::string> AdapterItems(CMainFrame& frame) {
  frame.FillAdapterMenu();
  std::vector<std::string> items;
  for (QAction* item : frame.GetAdapterMenu()->actions()) {
    items.push_back(item->text().toStdString() + (item->isEnabled() ? "" : " (greyed)") +
                    (item->isChecked() ? " (checked)" : ""));
  }
  return items;
}

const std::string kSerial = "E6614103E73F8D2A";
}  // namespace

// The submenu lists each card on each adapter, and says why when there is
// none or an adapter cannot be asked.
TEST_F(MainWindow, UseUsbAdapterOffersTheCardsFoundOrSaysWhyNot) {
  std::vector<AdapterCards> found;
  Result listed;
  findAdapterCards_ = [&](std::vector<AdapterCards>& cards) {
    cards = found;
    return listed;
  };
  Open(CardSource{});
  EXPECT_EQ(Action(command::kUseAdapter)->menu(), frame_->GetAdapterMenu());
  EXPECT_EQ(AdapterItems(*frame_),
            std::vector<std::string>{std::string(message::kUsbNoAdapter.text) + " (greyed)"});
  const std::string busy = Fill(message::kUsbAdapterBusy, {"BUSY"});
  found = {{{"BUSY", 0x0124}, Result::Failure(busy), {}}, {{kSerial, 0x0124}, Result(), {}}};
  EXPECT_EQ(AdapterItems(*frame_),
            (std::vector<std::string>{busy + " (greyed)",
                                      std::string(message::kUsbNoCardFound.text) + " (greyed)"}));
  found[1].cards = {CardSlot{0, 1}, CardSlot{3, 2}};
  EXPECT_EQ(AdapterItems(*frame_),
            (std::vector<std::string>{busy + " (greyed)", "A1 on adapter " + kSerial,
                                      "D2 on adapter " + kSerial}));
  listed = Result::Failure(Fill(message::kUsbNotAvailable, {"no USB here"}));
  EXPECT_EQ(AdapterItems(*frame_), std::vector<std::string>{listed.Message() + " (greyed)"});
}

// A card chosen from the submenu is listed at once, named in the title,
// greys the port's settings and is the card of the next start; one not
// attached then is named, and says why in the status bar and at once on a
// command. Use Parallel Port forgets it. The adapter in use is asked over
// the card's own connection.
TEST_F(MainWindow, AChosenAdapterCardIsListedNamedAndRememberedForTheNextStart) {
  const std::string image = DemoImage();
  bool attached = true;
  std::vector<std::string> opened;
  CSimulatedAdapter* adapter = nullptr;  // the one opened last
  findAdapterCards_ = [this](std::vector<AdapterCards>& cards) {
    // A second connection finds the adapter in use taken.
    const bool taken = frame_ && frame_->windowTitle().contains(" on adapter ");
    cards = {{{kSerial, 0x0124},
              taken ? Result::Failure(Fill(message::kUsbAdapterBusy, {kSerial})) : Result(),
              {CardSlot{0, 1}}}};
    return Result();
  };
  openAdapterCard_ = [&](const std::string& usb, const std::string& slot, CardSource& source) {
    opened.push_back(usb + " " + slot);
    if (!attached) return Result::Failure(Fill(message::kUsbAdapterNotFound, {usb}));
    if (frame_ && frame_->windowTitle().contains(" on adapter ") &&
        frame_->GetCard().GetTransport().GetPortProblem().Ok())
      return Result::Failure(Fill(message::kUsbAdapterBusy, {usb}));
    if (slot == "B1") return Result::Failure(Fill(message::kUsbSlotEmpty, {slot}));
    const Result result = OpenAdapterCard("sim:" + image, slot, clock_, source);
    source.usbSerial = usb;  // the simulated adapter stands in for the real one
    adapter = source.simulatedAdapter;
    return result;
  };
  Open(CardSource{});
  EXPECT_EQ(frame_->windowTitle(), "Korvantis");  // nothing remembered: the port
  frame_->FillAdapterMenu();
  frame_->GetAdapterMenu()->actions().front()->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(opened, std::vector<std::string>{kSerial + " A1"});
  EXPECT_EQ(frame_->windowTitle(),
            QString::fromStdString("A1 on adapter " + kSerial + " - Korvantis"));
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(AdapterItems(*frame_),
            std::vector<std::string>{"A1 on adapter " + kSerial + " (checked)"});
  EXPECT_TRUE(Action(command::kUsePort)->isEnabled());
  QString note;
  QTimer::singleShot(0, frame_.get(), [&note] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* label = dialog->findChild<QLabel*>("imageInUse");
    if (label->isVisible()) note = label->text();
    dialog->close();
  });
  frame_->RunCommand(command::kSettings);
  EXPECT_EQ(note, message::kSettingsAdapterInUse.text);
  frame_->RunCommand(command::kSetPage2);
  EXPECT_EQ(user_->messages, std::vector<std::string>{message::kCardOnePage.text});
  // Another card of the adapter in use, once the card in use has let go;
  // after a failure the card before comes back.
  ASSERT_TRUE(frame_->UseAdapterCard(kSerial, "D2"));
  EXPECT_EQ(frame_->windowTitle(),
            QString::fromStdString("D2 on adapter " + kSerial + " - Korvantis"));
  EXPECT_FALSE(frame_->UseAdapterCard(kSerial, "B1"));
  EXPECT_EQ(user_->messages.back(), Fill(message::kUsbSlotEmpty, {"B1"}));
  EXPECT_EQ(frame_->windowTitle(),
            QString::fromStdString("D2 on adapter " + kSerial + " - Korvantis"));
  ASSERT_TRUE(frame_->UseAdapterCard(kSerial, "A1"));
  // Unplugged and plugged in again: the lost connection is opened anew.
  adapter->Faults().unplugged = true;
  user_->messages.clear();
  Refresh();
  ASSERT_EQ(user_->messages.size(), 1u);
  EXPECT_NE(user_->messages[0].find("The USB connection to the adapter failed"), std::string::npos);
  Refresh();
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(user_->messages.size(), 1u);

  Open(CardSource{});  // the next start
  EXPECT_EQ(opened.back(), kSerial + " A1");
  EXPECT_EQ(frame_->windowTitle(),
            QString::fromStdString("A1 on adapter " + kSerial + " - Korvantis"));
  QCoreApplication::processEvents();  // listed once the window shows
  EXPECT_EQ(Rows(), 3);

  attached = false;
  Open(CardSource{});
  const std::string missing = Fill(message::kUsbAdapterNotFound, {kSerial});
  EXPECT_EQ(frame_->windowTitle(),
            QString::fromStdString("A1 on adapter " + kSerial + " - Korvantis"));
  EXPECT_EQ(Pane("portProblem"), message::kCardNotReachable.text);
  EXPECT_EQ(Status().toStdString(), missing);
  Refresh();
  EXPECT_EQ(user_->messages, std::vector<std::string>{missing});
  attached = true;  // plugged in: the next command finds it
  Refresh();
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Pane("portProblem"), "");

  frame_->RunCommand(command::kUsePort);
  EXPECT_EQ(frame_->windowTitle(), "Korvantis");
  std::string serial, slot;
  EXPECT_FALSE(store_.ReadUsbCard(serial, slot));
}

// The card a --usb sim:FILE names: listed at start, named with its file,
// and what an upload wrote is in the file when the command ends.
TEST_F(MainWindow, ASimulatedAdaptersCardIsListedAndItsImageWrittenAfterEachCommand) {
  const std::string image = DemoImage();
  CardSource source;
  ASSERT_TRUE(Succeeded(OpenAdapterCard("sim:" + image, "", clock_, source)));
  Open(std::move(source));
  EXPECT_EQ(frame_->windowTitle(), "A1 on the simulated adapter (saves.bin) - Korvantis");
  QCoreApplication::processEvents();
  EXPECT_EQ(Rows(), 3);
  CVmuDirEntry entry = MakeEntry(CVmuDirEntry::kData, 0, 2);
  entry.SetFileName("NEWSAVE     ");
  const std::string dci = scratch_.File("new.dci");
  ASSERT_TRUE(CDciFile::Write(dci, entry, std::vector<std::uint8_t>(2 * 512u, 'N')));
  user_->answers.push_back(dci);
  frame_->RunCommand(command::kUpload);
  EXPECT_TRUE(user_->messages.empty());
  user_->answers.push_back(image);
  frame_->RunCommand(command::kBackup);  // never saved over the image the adapter writes
  EXPECT_EQ(user_->messages, std::vector<std::string>{Fill(message::kImageIsOutput, {image})});
  frame_->RunCommand(command::kUsePort);  // lets go of the image
  ASSERT_TRUE(frame_->OpenImage(QString::fromStdString(image)));
  EXPECT_EQ(Rows(), 4);
}

// A read-only image on the simulated adapter refuses a change before the
// card is touched, as a read-only image does.
TEST_F(MainWindow, AReadOnlyImageOnTheSimulatedAdapterRefusesChanges) {
  const std::string image = DemoImage();
  const auto before = ReadBytes(image);
  CardSource source;
  ASSERT_TRUE(Succeeded(OpenAdapterCard("sim:" + image, "", clock_, source, ReadOnlyFileCalls())));
  Open(std::move(source));
  frame_->RunCommand(command::kFormat);
  EXPECT_EQ(user_->messages, std::vector<std::string>{Fill(message::kImageReadOnly, {image})});
  EXPECT_EQ(ReadBytes(image), before);
}
