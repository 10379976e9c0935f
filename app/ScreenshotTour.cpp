// korvantis-screenshots FOLDER: pictures of every window of the desktop
// program, as PNG files in FOLDER: the main window after F5 on the demo
// card in each view mode, with the File menu open, the progress dialog during
// a transfer, each dialog, Set Icon's preview, Settings greyed for a card
// image and the folder and format of a download of several files among them,
// and the messages of a check on damage Repair cannot mend and of F5 with no
// port to reach, File > Use USB Adapter open on a simulated adapter's card
// and Settings greyed for it; then the progress window's first frame after a file dialog,
// the busy cursor during a command, and Details' columns fitted to their
// rows. Run on a real
// display or under Xvfb (scripts/screenshots.sh); it never touches the
// user's settings or a port.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <functional>

#include "AboutDlg.h"
#include "AdapterClock.h"
#include "CardSlot.h"
#include "CardSource.h"
#include "CommandIds.h"
#include "DciFile.h"
#include "DemoCard.h"
#include "FileIconImage.h"
#include "FilePropertiesDlg.h"
#include "FileTexts.h"
#include "FolderFormatDlg.h"
#include "HelpWindow.h"
#include "Icons.h"
#include "LinkSettingsStore.h"
#include "MainFrame.h"
#include "Messages.h"
#include "NoPortRoad.h"
#include "PageImage.h"
#include "ProgressDlg.h"
#include "RecentImages.h"
#include "ScreenPointer.h"
#include "SetIconDlg.h"
#include "SettingsDlg.h"
#include "VmuDirEntry.h"

namespace {

QString folder;
int failures = 0;

// Lets the window system show and paint what was just opened.
void Settle() {
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
}

void Save(const QPixmap& picture, const char* name) {
  const QString path = folder + "/" + QString::fromLatin1(name) + ".png";
  if (picture.isNull() || !picture.save(path)) {
    std::fprintf(stderr, "korvantis-screenshots: cannot write %s\n", path.toLocal8Bit().data());
    ++failures;
  }
}

// What the screen shows around a window: menus and dialogs over it included.
void SaveScreen(QWidget* window, const char* name) {
  Settle();
  const QRect area = window->frameGeometry();
  Save(window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), name);
}

// The same, with the mouse pointer where it stands: for the busy cursor.
void SaveScreenWithPointer(QWidget* window, const char* name) {
  Settle();
  const QRect area = window->frameGeometry();
  Save(WithPointer(window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                   area.topLeft()),
       name);
}

void SaveWindow(QWidget* window, const char* name) {
  window->show();
  Settle();
  Save(window->grab(), name);
}

// The screen with the first message box that run opens, which is then closed.
void SaveScreenWithMessage(QWidget* window, const char* name, const std::function<void()>& run) {
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&timer, window, name] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    timer.stop();
    SaveScreen(window, name);
    box->close();
  });
  timer.start(100);
  run();
  if (timer.isActive()) {
    std::fprintf(stderr, "korvantis-screenshots: no message for %s\n", name);
    ++failures;
  }
}

// A page whose one file has a twin entry over the same blocks: damage
// Repair cannot mend without guessing which entry is the file's.
CPageImage TwinEntryPage() {
  CPageImage page = CPageImage::Formatted();
  const std::uint8_t zero[CVmuDirEntry::kLength] = {};
  CVmuDirEntry entry;
  entry.CopyFrom(zero);
  entry.SetType(CVmuDirEntry::kData);
  entry.SetFileName("TWIN.SAVE   ");
  entry.SetFirstBlock(199);
  entry.SetSize(2);
  const std::vector<std::uint8_t> blocks(2 * card_format::kBlockSize, 0);
  page.PlaceFile(0, entry, blocks.data());
  page.PlaceFile(1, entry, blocks.data());
  return page;
}

// What the screen shows around a window at once, without letting the
// program handle any event first: the frame the user sees now.
void SaveScreenAsIs(QWidget* window, const char* name) {
  const QRect area = window->frameGeometry();
  Save(window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), name);
}

// Called at each position a progress window is given, before it handles
// any event, with the number of positions it has had; set by a step of the tour.
std::function<void(int positions)> atPosition;

// The "Data Transfer" dialog over the main window, pictured once, during
// the first operation that reports a second position.
class CPicturedProgressDlg : public CProgressDlg {
 public:
  CPicturedProgressDlg(QWidget* parent, QWidget* frame) : CProgressDlg(parent), frame_(frame) {}
  std::int32_t SetPos(std::int32_t position) override {
    if (atPosition) atPosition(positions_ + 1);
    static bool pictured = false;
    const std::int32_t previous = CProgressDlg::SetPos(position);
    if (++positions_ == 2 && !pictured) {
      SaveScreen(frame_, "progress");
      pictured = true;
    }
    return previous;
  }

 private:
  QWidget* frame_;
  int positions_ = 0;
};

// A save whose application field holds bytes that are no text, as many
// games keep there.
bool WriteBinaryAppSave(const QString& path) {
  using namespace card_format;
  CVmuDirEntry entry;
  std::memset(entry.GetData(), 0, CVmuDirEntry::kLength);
  entry.SetType(CVmuDirEntry::kData);
  entry.SetFileName("BINARY_APP  ");
  entry.SetSize(1);
  std::vector<std::uint8_t> block(kBlockSize, 0);
  std::memcpy(block.data() + kHeaderShortDescription, "Lap times       ", kShortDescriptionLength);
  std::memcpy(block.data() + kHeaderLongDescription, "Binary bytes as its application ",
              kLongDescriptionLength);
  std::memcpy(block.data() + kHeaderApplication, "81\x01\x02\x03\x04\x05-\x06\x07V/TU   ",
              kApplicationLength);
  return CDciFile::Write(QFile::encodeName(path).toStdString(), entry, block).Ok();
}

// Upload from its file dialog: the progress window's first frame right after
// the dialog closed. A Refresh: the busy cursor over the main window. Then
// Details with its columns fitted to the rows, a cell showing its bytes' codes.
void PictureBusyAndFittedCommand(CMainFrame& window, const QString& save) {
  if (!WriteBinaryAppSave(save)) {
    std::fputs("korvantis-screenshots: cannot write the save to upload\n", stderr);
    ++failures;
    return;
  }
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&chooser, &save] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    chooser.stop();
    dialog->setDirectory(QFileInfo(save).absolutePath());
    // The name typed, as the user would: selectFile leaves the field empty
    // until the folder has been read.
    if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
      name->setText(QFileInfo(save).fileName());
    }
    Settle();
    static_cast<QDialog*>(dialog)->accept();
    // QFileDialog's own, which takes the file
  });
  chooser.start(50);
  atPosition = [&window](int positions) {
    if (positions == 1) SaveScreenAsIs(&window, "progress-after-file-dialog");
  };
  window.RunCommand(command::kUpload);

  // The pointer over the list, away from the progress window.
  const QRect list = window.GetListView()->rect();
  QCursor::setPos(
      window.GetListView()->mapToGlobal(QPoint(list.width() / 5, list.height() * 3 / 4)));
  atPosition = [&window](int positions) {
    if (positions == 2) SaveScreenWithPointer(&window, "busy-cursor");
  };
  window.RunCommand(command::kRefresh);
  atPosition = nullptr;
  window.RunCommand(command::kDetails);
  SaveScreen(&window, "main-details-columns");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fputs("Usage: korvantis-screenshots FOLDER\n", stderr);
    return 2;
  }
  Q_INIT_RESOURCE(resources);
  QApplication::setWindowIcon(ProgramIcon());
  folder = QString::fromLocal8Bit(argv[1]);
  QTemporaryDir scratch;
  if (!QDir().mkpath(folder) || !scratch.isValid()) {
    std::fputs("korvantis-screenshots: cannot make the folders\n", stderr);
    return 1;
  }

  const std::string image = QFile::encodeName(scratch.filePath("demo-card.bin")).toStdString();
  CardSource card;
  Result made = CPageImage::WriteNewFile(image, {MakeDemoPage()});
  if (made) made = OpenCardImage(image, card);
  if (!made) {
    std::fprintf(stderr, "korvantis-screenshots: %s\n", made.Message().c_str());
    return 1;
  }
  QSettings settings(scratch.filePath("Korvantis.conf"), QSettings::IniFormat);
  CLinkSettingsStore store(settings);
  CRecentImages recent(settings);
  recent.Add(scratch.filePath("demo-card.bin"));
  CMainFrame* frame = nullptr;
  CMainFrame::Services services;
  services.card = std::move(card);
  services.settings = &store;
  services.recentImages = &recent;
  services.progress = [&frame] {
    return std::make_unique<CPicturedProgressDlg>(frame->GetListView(), frame);
  };
  // The parallel port is never reached: the road of a machine without one.
  services.makePortCard = [] {
    return std::make_unique<CVmuCard>(std::make_unique<CVmuLink>([](std::uint16_t base) {
      char address[8];
      std::snprintf(address, sizeof address, "0x%X", unsigned{base});
      return PortRoadChoice{std::make_unique<CNoPortRoad>(),
                            Result::Failure(Fill(message::kNoPortKnown, {address}))};
    }));
  };
  // One adapter attached, a card in its slot A1: the demo card on the
  // simulated adapter.
  const std::string serial = "E6614103E73F8D2A";
  const std::string adapterImage =
      QFile::encodeName(scratch.filePath("adapter-card.bin")).toStdString();
  if (!CPageImage::WriteNewFile(adapterImage, {MakeDemoPage()})) ++failures;
  services.findAdapterCards = [&serial](std::vector<AdapterCards>& found) {
    found = {{{serial, 0x0124}, Result(), {CardSlot{0, 1}}}};
    return Result();
  };
  services.openAdapterCard = [&](const std::string& usb, const std::string& slot,
                                 CardSource& source) {
    const Result opened =
        OpenAdapterCard("sim:" + adapterImage, slot, CSteadyAdapterClock::Instance(), source);
    source.usbSerial = usb;
    return opened;
  };
  CMainFrame window(std::move(services));
  frame = &window;
  window.show();
  Settle();

  window.RunCommand(command::kRefresh);
  QTreeView* details = window.GetListView()->GetDetailsView();
  details->selectionModel()->select(details->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
  SaveScreen(&window, "main-details");
  const std::pair<int, const char*> modes[] = {{command::kLargeIcons, "main-large-icons"},
                                               {command::kSmallIcons, "main-small-icons"},
                                               {command::kList, "main-list"}};
  for (const auto& [id, name] : modes) {
    window.RunCommand(id);
    SaveScreen(&window, name);
  }
  window.RunCommand(command::kDetails);

  QMenu* file = window.menuBar()->actions().front()->menu();
  QTimer::singleShot(300, [&] {
    SaveScreen(&window, "main-file-menu");
    file->close();
  });
  file->exec(window.mapToGlobal(window.menuBar()->geometry().bottomLeft()));

  // The second row's properties, as File, Properties reads them.
  FileTexts properties;
  CCardListView* list = window.GetListView();
  list->showProperties = [&properties](const FileTexts& texts) { properties = texts; };
  list->GetDetailsView()->selectionModel()->select(
      list->GetModel()->index(1, 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list->OnProperties();
  CFilePropertiesDlg propertiesDialog(properties, &window);
  SaveWindow(&propertiesDialog, "dialog-file-properties");
  propertiesDialog.close();

  // Set Icon's preview, of the program's own icon as the picture.
  CardIconChoice choice;
  choice.description = "Korvantis";
  CSetIconDlg setIconDialog(PictureOf(ProgramIcon().pixmap(64, 64).toImage()), choice, &window);
  SaveWindow(&setIconDialog, "dialog-set-icon");
  setIconDialog.close();

  CSettingsDlg settingsDialog(&window);
  settingsDialog.SetSettings(store.Read());
  SaveWindow(&settingsDialog, "dialog-settings");
  settingsDialog.close();
  // As File > Settings shows it while a card image is the card.
  CSettingsDlg imageSettingsDialog(&window);
  imageSettingsDialog.SetSettings(store.Read());
  imageSettingsDialog.SetCardRoad(CSettingsDlg::CardRoad::Image);
  SaveWindow(&imageSettingsDialog, "dialog-settings-image");
  imageSettingsDialog.close();

  // Download with several rows selected.
  CFolderFormatDlg downloadDialog(scratch.path(), CardFileFormat::Dci, &window);
  SaveWindow(&downloadDialog, "dialog-download-files");
  downloadDialog.close();

  CAboutDlg about(&window);
  SaveWindow(&about, "dialog-about");
  about.close();

  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvantis"),
                  QString::fromUtf8(message::kTimedOut.text), QMessageBox::Ok, &window);
  SaveWindow(&box, "dialog-message");
  box.close();

  // On the demo card still; the card changes after this.
  PictureBusyAndFittedCommand(window, scratch.filePath("BINARY_APP.dci"));

  const std::string damaged = QFile::encodeName(scratch.filePath("damaged.bin")).toStdString();
  if (CPageImage::WriteNewFile(damaged, {TwinEntryPage()}) &&
      window.OpenImage(QFile::decodeName(QByteArray::fromStdString(damaged)))) {
    SaveScreenWithMessage(&window, "message-dead-end",
                          [&window] { window.RunCommand(command::kCheckCard); });
  } else {
    ++failures;
  }
  // The card on the adapter chosen, its submenu open again with the card checked.
  if (window.UseAdapterCard(serial, "A1")) {
    Settle();
    QMenu* fileMenu = window.menuBar()->actions().front()->menu();
    QTimer::singleShot(200,
                       [&] { fileMenu->setActiveAction(window.GetAction(command::kUseAdapter)); });
    QTimer::singleShot(700, [&] {
      SaveScreen(&window, "main-usb-adapter-menu");
      window.GetAdapterMenu()->close();
      fileMenu->close();
    });
    fileMenu->exec(window.mapToGlobal(window.menuBar()->geometry().bottomLeft()));
    CSettingsDlg adapterSettingsDialog(&window);
    adapterSettingsDialog.SetSettings(store.Read());
    adapterSettingsDialog.SetCardRoad(CSettingsDlg::CardRoad::Adapter);
    SaveWindow(&adapterSettingsDialog, "dialog-settings-adapter");
    adapterSettingsDialog.close();
  } else {
    ++failures;
  }
  window.UsePort();
  Settle();
  SaveScreenWithMessage(&window, "message-no-port",
                        [&window] { window.RunCommand(command::kRefresh); });

  ShowUserGuide(&window);
  if (auto* guide = window.findChild<QTextBrowser*>("userGuide")) {
    SaveWindow(guide, "help-window");
    guide->close();
  }

  return failures == 0 ? 0 : 1;
}
