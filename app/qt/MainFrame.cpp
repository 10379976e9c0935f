#include "MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <algorithm>
#include <cstring>

#include "AboutDlg.h"
#include "BusyCursor.h"
#include "CardChanges.h"
#include "CardFormat.h"
#include "CommandIds.h"
#include "DriveWarning.h"
#include "FileCommands.h"
#include "FileExtension.h"
#include "HelpWindow.h"
#include "Icons.h"
#include "LinkSettings.h"
#include "LinkSettingsStore.h"
#include "MenuTable.h"
#include "Messages.h"
#include "OutputGuard.h"
#include "PageCommands.h"
#include "ProgressDlg.h"
#include "QtUserPrompts.h"
#include "RecentImages.h"
#include "SettingsDlg.h"
#include "SimulatedCard.h"
#include "StatusPane.h"
#include "VmsFile.h"
#include "VmuCard.h"
#include "WireTrace.h"

namespace {
// Where the text choice is kept: "auto", "latin1" or "sjis".
const QString kEncodingKey = QStringLiteral("View/Encoding");

constexpr char kIdlePrompt[] = "For Help, press F1.";

// A prompt is the status-bar text, then after a line break the tool tip.
void SetPrompt(QAction* action, const char* prompt) {
  const QString text = QString::fromUtf8(prompt);
  const qsizetype lineBreak = text.indexOf('\n');
  action->setStatusTip(text.left(lineBreak));
  action->setWhatsThis(text.left(lineBreak));
  if (lineBreak >= 0) action->setToolTip(text.mid(lineBreak + 1));
}

// Whether the menu item shows its key beside its text ("&Refresh\tF5").
bool ShowsItsKey(int id) {
  const MenuItem* item = FindMenuItem(id);
  return item != nullptr && std::strchr(item->text, '\t') != nullptr;
}

// A name that gives a card image's byte order is a card image's.
bool IsCardImage(const QString& path) {
  card_format::ByteOrder order = card_format::ByteOrder::Wire;
  return card_format::ImageOrderFor(QFile::encodeName(path).toStdString(), order);
}

bool IsFileToUpload(const QString& path) {
  const std::string name = QFile::encodeName(path).toStdString();
  return card_format::HasExtension(name, "dci") || CVmsFile::IsPairName(name);
}

// A pane on the right of the status bar, shown only while it has something to say.
CStatusPane* MakePane(QWidget* parent, const char* name) {
  auto* pane = new CStatusPane(parent);
  pane->setObjectName(name);
  pane->setVisible(false);
  return pane;
}

void SetPane(CStatusPane* pane, const QString& text, const QString& tip = QString()) {
  pane->SetText(text, tip);
  pane->setVisible(!text.isEmpty());
}

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
}  // namespace

CMainFrame::CMainFrame(Services services, QWidget* parent)
    : QMainWindow(parent),
      source_(std::move(services.card)),
      imageRoad_(services.imageRoad),
      settings_(services.settings),
      recentImages_(services.recentImages),
      viewSettings_(services.viewSettings),
      user_(std::move(services.user)),
      progress_(std::move(services.progress)),
      makePortCard_(std::move(services.makePortCard)),
      safetyCopies_(std::move(services.safetyCopies)),
      openFolder_(std::move(services.openFolder)),
      findAdapterCards_(std::move(services.findAdapterCards)),
      openAdapterCard_(std::move(services.openAdapterCard)) {
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  if (!user_) user_ = std::make_unique<CQtUserPrompts>(this, viewSettings_);
  // No download or backup is ever saved over the card image or the trace in use.
  user_ = std::make_unique<COutputGuard>(
      std::move(user_), [this, trace = services.tracePath](const std::string& path) {
        Result image = source_.simulated ? source_.simulated->CheckOutput(path) : Result();
        if (source_.simulatedAdapter) image = source_.simulatedAdapter->CheckOutput(path);
        return image ? CWireTrace::CheckOutput(trace, path) : image;
      });
  if (!progress_) progress_ = [this] { return std::make_unique<CProgressDlg>(listView_); };
  if (!makePortCard_) makePortCard_ = [] { return std::make_unique<CVmuCard>(); };
  if (!openFolder_) {
    openFolder_ = [](const QString& folder) {
      return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
  }
  if (!findAdapterCards_) findAdapterCards_ = FindAttachedCards;
  if (!openAdapterCard_) {
    openAdapterCard_ = [](const std::string& usb, const std::string& slot, CardSource& source) {
      return OpenAdapterCard(usb, slot, CSteadyAdapterClock::Instance(), source);
    };
  }
  if (!source_.card) OpenRememberedCard();

  ApplyStoredSettings();
  // A game needs blocks 0 up: the upload offers to move the data files away first.
  const RunDefragment defragment = [this](CVmuCard& card, CProgress& progress, CUserPrompts& user) {
    return DefragmentPage(card, Copies(), progress, user);
  };
  listView_ = new CCardListView(*source_.card, *user_, progress_, defragment, this);
  setCentralWidget(listView_);
  listView_->RegisterCommands(router_.Table(CCommandRouter::Level::ListWindow));
  RegisterFrameCommands();

  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();

  connect(listView_, &CCardListView::selectionChanged, this, &CMainFrame::UpdateCommandUi);
  connect(listView_, &CCardListView::viewModeChanged, this, [this](int id) {
    if (QAction* action = GetAction(id)) action->setChecked(true);
  });
  connect(listView_, &CCardListView::contextMenuRequested, this, [this](const QPoint& where) {
    UpdateCommandUi();
    contextMenu_->exec(where);
  });
  GetAction(listView_->GetViewMode())->setChecked(true);
  TextEncoding encoding = TextEncoding::Automatic;
  if (viewSettings_ != nullptr) {
    EncodingFromName(viewSettings_->value(kEncodingKey).toString().toStdString(), encoding);
  }
  OnTextEncoding(encoding);
  listView_->KeepColumnWidthsIn(viewSettings_);
  ShowCardState();
  if (recentImages_ != nullptr && !source_.imagePath.empty()) {
    recentImages_->Add(QFileInfo(FromPath(source_.imagePath)).absoluteFilePath());
  }
  ShowRecentImages();
  // An image or an adapter's card is listed once the window shows.
  if (!source_.imagePath.empty() ||
      (!source_.usbSerial.empty() && source_.card->GetTransport().GetPortProblem())) {
    QMetaObject::invokeMethod(
        this, [this] { RunCommand(command::kRefresh); }, Qt::QueuedConnection);
  }
  // The window system places the window. Its size is what a new window gets
  // on most desktops, three quarters of the screen's free area, so that all
  // of it, close box included, is on the screen.
  resize(screen()->availableGeometry().size() * 3 / 4);
  listView_->setFocus();
}

CMainFrame::~CMainFrame() {
  // The list window borrows the card: it goes first, then the card and its
  // port, then the simulated card behind it.
  std::unique_ptr<QWidget> list(takeCentralWidget());
  list.reset();
  source_.card.reset();
}

// The link gets the stored settings (the defaults, without a store) before
// any command can run; its road to the port is chosen here, once.
void CMainFrame::ApplyStoredSettings() {
  CVmuLink* link = source_.card->GetLink();
  if (link != nullptr)
    ApplyLinkSettings(settings_ != nullptr ? settings_->Read() : LinkSettings(), *link);
}

// The card on the USB adapter chosen last, else the port's. One that is not
// attached now is named all the same: the status bar and each command say
// why it cannot be reached.
void CMainFrame::OpenRememberedCard() {
  std::string serial;
  std::string slot;
  if (settings_ != nullptr && settings_->ReadUsbCard(serial, slot)) {
    const Result opened = openAdapterCard_(serial, slot, source_);
    CardSlot where;
    if (!opened && CardSlot::FromName(slot, where))
      UseUnreachableAdapterCard(serial, where, opened, source_);
  }
  if (!source_.card) source_.card = makePortCard_();
}

void CMainFrame::RegisterFrameCommands() {
  using namespace command;
  CCommandTable& frame = router_.Table(CCommandRouter::Level::Frame);
  frame.On(kBackup, [this] { OnBackup(); });
  frame.On(kRestore, [this] { OnRestore(); });
  frame.On(kFormat, [this] { OnFormat(); });
  frame.On(kCheckCard, [this] { OnCheckCard(); });
  frame.On(kDefragment, [this] { OnDefragment(); });
  frame.On(kOpenSafetyCopies, [this] { OnOpenSafetyCopies(); });
  frame.On(kSetPage1, [this] { OnSetPage(1); });
  frame.On(kSetPage2, [this] { OnSetPage(2); });
  frame.On(kSetPage3, [this] { OnSetPage(3); });
  frame.On(kSetPage4, [this] { OnSetPage(4); });
  frame.On(kTextAutomatic, [this] { OnTextEncoding(TextEncoding::Automatic); });
  frame.On(kTextWestern, [this] { OnTextEncoding(TextEncoding::Western); });
  frame.On(kTextJapanese, [this] { OnTextEncoding(TextEncoding::Japanese); });
  if (settings_ != nullptr) frame.On(kSettings, [this] { OnSettings(); });
  frame.On(kOpenImage, [this] { OnOpenImage(); });
  frame.On(kUsePort, [this] { UsePort(); });
  frame.OnUpdate(kUsePort,
                 [this] { return !source_.imagePath.empty() || !source_.usbSerial.empty(); });
  frame.On(kUseAdapter, [] {});  // a submenu: its items choose
  for (int n = 0; n < kRecentImageCount; ++n) {
    frame.On(kRecentImage1 + n, [this, n] { OnRecentImage(n); });
  }
  frame.On(kHelpTopics, [this] { OnHelp(); });
  frame.On(kHelp, [this] { OnHelp(); });
  frame.On(kDefaultHelp, [this] { OnHelp(); });
  frame.On(kContextHelp, [] { QWhatsThis::enterWhatsThisMode(); });
  frame.On(kExit, [this] { close(); });
  frame.On(kToolbar, [this] { toolBar_->setVisible(!toolBar_->isVisible()); });
  frame.On(kStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
  router_.Table(CCommandRouter::Level::Application).On(kAbout, [this] { OnAbout(); });
}

void CMainFrame::CreateActions() {
  // A command starts once the menu that chose it has closed and its place
  // on the screen is drawn again, since the command may keep the thread for
  // a while before any window of its own opens.
  auto runLater = [this](QAction* action, int id) {
    connect(action, &QAction::triggered, this, [this, id] {
      auto run = [this, id] {
        repaint();
        RunCommand(id);
      };
      QMetaObject::invokeMethod(this, run, Qt::QueuedConnection);
    });
    addAction(action);  // its keys work wherever the focus is in the window
  };
  auto makeAction = [this, &runLater](int id) {
    if (actions_.count(id) != 0) return actions_[id];
    auto* action = new QAction(this);
    action->setData(id);
    runLater(action, id);
    actions_[id] = action;
    return action;
  };
  for (const Menu& menu : MainMenus()) {
    for (const MenuItem& item : menu.items) {
      if (item.id == 0) continue;
      QAction* action = makeAction(item.id);
      action->setText(QString::fromUtf8(item.text).section('\t', 0, 0));
      SetPrompt(action, item.prompt);
    }
  }
  // Qt writes an action's key beside its menu item; the items that show no
  // key in their text get theirs on an action of their own, in no menu.
  std::map<int, QList<QKeySequence>> keys;
  for (const Accelerator& accelerator : Accelerators()) {
    keys[accelerator.id].append(QKeySequence(QString::fromUtf8(accelerator.key)));
  }
  for (const auto& [id, sequences] : keys) {
    if (FindMenuItem(id) == nullptr || ShowsItsKey(id)) {
      makeAction(id)->setShortcuts(sequences);
      continue;
    }
    auto* key = new QAction(this);
    key->setShortcuts(sequences);
    runLater(key, id);
    hiddenKeys_.emplace_back(id, key);
  }

  viewModes_ = new QActionGroup(this);
  for (int id : {command::kLargeIcons, command::kSmallIcons, command::kList, command::kDetails}) {
    actions_[id]->setCheckable(true);
    viewModes_->addAction(actions_[id]);
  }
  textEncodings_ = new QActionGroup(this);
  for (int id : {command::kTextAutomatic, command::kTextWestern, command::kTextJapanese}) {
    actions_[id]->setCheckable(true);
    textEncodings_->addAction(actions_[id]);
  }
  for (int id : {command::kToolbar, command::kStatusBar}) {
    actions_[id]->setCheckable(true);
    actions_[id]->setChecked(true);
  }
  for (const ToolbarButton& button : ToolbarButtons()) {
    if (button.id != 0) actions_[button.id]->setIcon(ToolbarIcon(button.picture));
  }
}

void CMainFrame::CreateMenus() {
  for (const Menu& menu : MainMenus()) {
    QMenu* qmenu = menuBar()->addMenu(QString::fromUtf8(menu.title));
    for (const MenuItem& item : menu.items) {
      if (item.id == 0) {
        qmenu->addSeparator();
      } else {
        qmenu->addAction(actions_[item.id]);
      }
    }
    if (const auto found = actions_.find(command::kUseAdapter); found != actions_.end()) {
      adapterMenu_ = new QMenu(this);
      found->second->setMenu(adapterMenu_);
      connect(adapterMenu_, &QMenu::aboutToShow, this, &CMainFrame::FillAdapterMenu);
    }
    connect(qmenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
  }
  contextMenu_ = new QMenu(this);
  for (int id : ContextMenuItems()) {
    if (id == 0) {
      contextMenu_->addSeparator();
    } else {
      contextMenu_->addAction(actions_[id]);
    }
  }
}

void CMainFrame::CreateToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Toolbar"));
  toolBar_->setObjectName("toolbar");
  toolBar_->setIconSize(QSize(16, 16));
  for (const ToolbarButton& button : ToolbarButtons()) {
    if (button.id == 0) {
      toolBar_->addSeparator();
    } else {
      toolBar_->addAction(actions_[button.id]);
    }
  }
  connect(toolBar_, &QToolBar::visibilityChanged, actions_[command::kToolbar],
          &QAction::setChecked);
}

// The message pane on the left keeps the idle text, which the prompts cover
// while they show; the port's problem, the page last selected and the free
// blocks have panes of their own on the right.
void CMainFrame::CreateStatusBar() {
  messagePane_ = MakePane(this, "message");
  messagePane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(messagePane_, 1);
  portPane_ = MakePane(this, "portProblem");
  pagePane_ = MakePane(this, "page");
  freeBlocksPane_ = MakePane(this, "freeBlocks");
  statusBar()->addPermanentWidget(portPane_);
  statusBar()->addPermanentWidget(pagePane_);
  statusBar()->addPermanentWidget(freeBlocksPane_);
  connect(listView_, &CCardListView::freeBlocksChanged, this, &CMainFrame::ShowFreeBlocks);
  // A Refresh answers the status bar's ask for one.
  connect(listView_, &CCardListView::freeBlocksChanged, this, [this] {
    if (!refreshAsked_) return;
    refreshAsked_ = false;
    ShowIdleText(QString::fromLatin1(kIdlePrompt));
  });
  connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::ShowIdlePrompt);
}

// What the window shows of the card: its name in the title, and the port's
// problem, which is also the idle text until the first prompt.
void CMainFrame::ShowCardState() {
  const bool onAdapter = !source_.usbSerial.empty();
  QString name = QFileInfo(FromPath(source_.imagePath)).fileName();
  if (onAdapter) name = QString::fromStdString(AdapterCardName(source_.usbSerial, source_.usbSlot));
  setWindowTitle(name.isEmpty() ? QStringLiteral("Korvantis")
                                : name + QStringLiteral(" - Korvantis"));
  const QString problem =
      QString::fromStdString(source_.card->GetTransport().GetPortProblem().Message());
  const QString unreachable = onAdapter ? QString::fromUtf8(message::kCardNotReachable.text)
                                        : QStringLiteral("Port not reachable");
  SetPane(portPane_, problem.isEmpty() ? QString() : unreachable, problem);
  ShowIdleText(problem.isEmpty() ? QString::fromLatin1(kIdlePrompt) : problem);
}

// The idle text shows at once, in place of any prompt.
void CMainFrame::ShowIdleText(const QString& text) {
  idleText_ = text;
  SetPane(messagePane_, idleText_);
  statusBar()->clearMessage();
}

// When a command's prompt goes away the idle text comes back. After the
// first prompt that is the usual one: the port's problem keeps its pane. An
// ask for a Refresh stays until the list is read. The status bar hides the
// pane while a prompt shows and shows it again after, so only its text
// changes here.
void CMainFrame::ShowIdlePrompt(const QString& message) {
  if (!message.isEmpty() && message != idleText_ && !refreshAsked_) {
    idleText_ = QString::fromLatin1(kIdlePrompt);
    messagePane_->SetText(idleText_, QString());
  }
}

void CMainFrame::ShowFreeBlocks(int count) {
  SetPane(freeBlocksPane_,
          count < 0 ? QString()
                    : QString::fromStdString(FreeBlocksText(static_cast<std::uint16_t>(count))));
}

// The File menu names the recent images, "&1 card.bin" and so on; the items
// without an image are hidden.
void CMainFrame::ShowRecentImages() {
  const QStringList paths = recentImages_ != nullptr ? recentImages_->List() : QStringList();
  for (int n = 0; n < command::kRecentImageCount; ++n) {
    QAction* action = actions_[command::kRecentImage1 + n];
    action->setVisible(n < paths.size());
    if (n < paths.size()) {
      action->setText(QStringLiteral("&%1 %2").arg(n + 1).arg(QFileInfo(paths[n]).fileName()));
      action->setToolTip(paths[n]);
    }
  }
}

QAction* CMainFrame::GetAction(int id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::OnTextEncoding(TextEncoding encoding) {
  listView_->SetEncoding(encoding);
  const int ids[] = {command::kTextAutomatic, command::kTextWestern, command::kTextJapanese};
  actions_[ids[static_cast<int>(encoding)]]->setChecked(true);
  if (viewSettings_ != nullptr) viewSettings_->setValue(kEncodingKey, EncodingName(encoding));
}

void CMainFrame::UpdateCommandUi() {
  for (const auto& [id, action] : actions_)
    action->setEnabled(router_.IsEnabled(id));
  for (const auto& [id, key] : hiddenKeys_)
    key->setEnabled(router_.IsEnabled(id));
}

void CMainFrame::RunCommand(int id) {
  RunExclusively([this, id] {
    ReachAdapterCardAgain();
    if (!RefusedOnReadOnly(id)) router_.Route(id);
  });
}

// A card on a USB adapter that could not be reached, or whose connection
// was lost (the adapter unplugged or restarted), is looked for again before
// each command, so that plugging the adapter in and pressing F5 is enough;
// while it is still missing, the command fails with the reason. The lost
// connection lets go first, as the adapter lets one in.
void CMainFrame::ReachAdapterCardAgain() {
  const Result& problem = source_.card->GetTransport().GetPortProblem();
  if (source_.usbSerial.empty() || problem.Ok()) return;
  const std::string usb = source_.usbSerial;
  const CardSlot slot = source_.usbSlot;
  LetGoOfAdapter();
  UseAdapterCardOrWhy(usb, slot);
}

// The card in use lets go of its adapter's one connection, so that another
// may be opened; until then no card is in use.
void CMainFrame::LetGoOfAdapter() {
  CardSource letGo;
  UseUnreachableAdapterCard(std::string(), source_.usbSlot, Result(), letGo);
  UseCard(std::move(letGo));
}

// The card in slot of the adapter usb names, or, when it cannot be opened,
// that card named as not reachable, failing every command with the reason.
void CMainFrame::UseAdapterCardOrWhy(const std::string& usb, CardSlot slot) {
  CardSource next;
  const Result opened = openAdapterCard_(usb, slot.Name(), next);
  if (!opened) UseUnreachableAdapterCard(usb, slot, opened, next);
  UseCard(std::move(next));
}

bool CMainFrame::RefusedOnReadOnly(int id) {
  return ChangesCard(id) &&
         (ReportFailure(CheckImageWritable()) ||
          !MayWriteCardSeenAsDrive(id, source_.card->ShowsCardAsDrive(), Confirm::Ask, *user_));
}

// Commands run one at a time: one that arrives while another still runs
// (a key pressed while the progress window pumps events) is dropped. The
// busy cursor shows from the command's start until what it wrote reached
// the image.
void CMainFrame::RunExclusively(const std::function<void()>& work) {
  if (running_) return;
  {
    const CBusyCursor busy;
    running_ = true;
    work();
    running_ = false;
    if (source_.simulated) ReportFailure(source_.simulated->SyncImage());
    if (source_.simulatedAdapter) ReportFailure(source_.simulatedAdapter->Sync());
  }
  UpdateCommandUi();
}

Result CMainFrame::CheckImageWritable() const {
  if (source_.simulatedAdapter) return source_.simulatedAdapter->CheckWritable(source_.usbSlot);
  return source_.simulated ? source_.simulated->CheckWritable() : Result();
}

bool CMainFrame::ReportFailure(const Result& result) {
  if (result) return false;
  user_->ShowMessage(result.Message());
  return true;
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
  QMainWindow::focusInEvent(event);
  listView_->setFocus();
}

bool CMainFrame::OpenImage(const QString& path) {
  CardSource next;
  const Result opened = OpenCardImage(ToPath(path), next, imageRoad_);
  if (!opened) {
    if (recentImages_ != nullptr) recentImages_->Remove(path);
    ShowRecentImages();
    user_->ShowMessage(opened.Message());
    return false;
  }
  UseCard(std::move(next));
  if (recentImages_ != nullptr) recentImages_->Add(QFileInfo(path).absoluteFilePath());
  ShowRecentImages();
  listView_->OnRefresh();  // an image answers at once: its files are listed without asking
  return true;
}

void CMainFrame::UsePort() {
  CardSource port;
  port.card = makePortCard_();
  UseCard(std::move(port));
  if (settings_ != nullptr) settings_->WriteUsbCard(std::string(), std::string());
}

// An adapter lets one connection in: another card on the adapter in use is
// opened once the card in use has let go, and on a failure that card comes
// back (or is named as not reachable).
bool CMainFrame::UseAdapterCard(const std::string& usb, const std::string& slot) {
  const bool sameAdapter = !usb.empty() && usb == source_.usbSerial;
  const CardSlot before = source_.usbSlot;
  if (sameAdapter) LetGoOfAdapter();
  CardSource next;
  const Result opened = openAdapterCard_(usb, slot, next);
  if (ReportFailure(opened)) {
    if (sameAdapter) UseAdapterCardOrWhy(usb, before);
    return false;
  }
  UseCard(std::move(next));
  if (settings_ != nullptr) settings_->WriteUsbCard(source_.usbSerial, source_.usbSlot.Name());
  listView_->OnRefresh();  // the card answers at once: its files are listed without asking
  return true;
}

// One item per card on each adapter attached, the card in use checked; an
// adapter that cannot be asked, or no card at all, is a greyed item that
// says why. The adapter in use is asked over the card's connection.
void CMainFrame::FillAdapterMenu() {
  adapterMenu_->clear();
  const auto note = [this](const std::string& text) {
    QAction* item = adapterMenu_->addAction(QString::fromStdString(text));
    item->setEnabled(false);
  };
  std::vector<AdapterCards> found;
  const CBusyCursor busy;
  if (const Result listed = findAdapterCards_(found); !listed) return note(listed.Message());
  bool anyCard = false;
  for (AdapterCards& adapter : found) {
    if (adapter.adapter.serial == source_.usbSerial)
      FindCardsBeside(source_, adapter.asked, adapter.cards);
    if (!adapter.asked) note(adapter.asked.Message());
    for (const CardSlot& slot : adapter.cards) {
      anyCard = true;
      QAction* item = adapterMenu_->addAction(
          QString::fromStdString(AdapterCardName(adapter.adapter.serial, slot)));
      item->setCheckable(true);
      item->setChecked(adapter.adapter.serial == source_.usbSerial && slot == source_.usbSlot);
      connect(item, &QAction::triggered, this,
              [this, serial = adapter.adapter.serial, name = slot.Name()] {
                QMetaObject::invokeMethod(
                    this, [=] { RunExclusively([&] { UseAdapterCard(serial, name); }); },
                    Qt::QueuedConnection);
              });
    }
  }
  if (found.empty()) {
    note(message::kUsbNoAdapter.text);
  } else if (!anyCard) {
    note(message::kUsbNoCardFound.text);
  }
}

// The wire trace, if any, goes on with the new card's link. The list's rows
// belong to the old card and go with it.
void CMainFrame::UseCard(CardSource next) {
  CVmuLink* old = source_.card->GetLink();
  std::unique_ptr<CWireTrace> trace = old != nullptr ? old->TakeTrace() : nullptr;
  listView_->SetCard(*next.card);
  source_.card.reset();  // before the simulated card it reaches
  source_ = std::move(next);
  ApplyStoredSettings();
  if (trace && source_.card->GetLink() != nullptr)
    source_.card->GetLink()->SetTrace(std::move(trace));
  ShowCardState();
  SetPane(pagePane_, QString());  // the new card's page and free blocks are not known yet
  ShowFreeBlocks(-1);
  AskForRefresh();
  UpdateCommandUi();
}

// The list is empty until the user asks for the files of the card or page
// now selected; the status bar says so, unless it says why the port cannot
// be reached.
void CMainFrame::AskForRefresh() {
  refreshAsked_ = source_.card->GetTransport().GetPortProblem().Ok();
  if (!refreshAsked_) return;
  ShowIdleText(QString::fromUtf8(message::kAskRefresh.text));
}

void CMainFrame::OnOpenImage() {
  std::string path;
  if (user_->ChooseFileToOpen(kCardImageFileKind, path)) OpenImage(FromPath(path));
}

void CMainFrame::OnRecentImage(int n) {
  const QStringList paths = recentImages_ != nullptr ? recentImages_->List() : QStringList();
  if (n < paths.size()) OpenImage(paths[n]);
}

// Local files only; whether they make sense together is told at the drop.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  const bool local = !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& url) {
    return url.isLocalFile();
  });
  if (local) event->acceptProposedAction();
}

// The files are taken after the drop has ended, so that the program they
// came from is not kept waiting for the transfers.
void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  QMetaObject::invokeMethod(
      this, [this, paths] { OpenDroppedFiles(paths); }, Qt::QueuedConnection);
}

// DCI files and VMS/VMI pairs are uploaded to the selected page, one after
// another; one card
// image becomes the card. Anything else is explained and left alone.
void CMainFrame::OpenDroppedFiles(const QStringList& paths) {
  RunExclusively([this, &paths] {
    if (std::all_of(paths.begin(), paths.end(), IsFileToUpload)) {
      if (!RefusedOnReadOnly(command::kUpload)) listView_->UploadFiles(paths);
    } else if (paths.size() == 1 && IsCardImage(paths.front())) {
      OpenImage(paths.front());
    } else {
      user_->ShowMessage(message::kDropNotUnderstood.text);
    }
  });
}

void CMainFrame::OnSetPage(std::uint16_t page) {
  if (source_.simulated && ReportFailure(source_.simulated->CheckPageNumber(page))) return;
  // The rows and the free blocks are the page before's, and after a failed
  // select the card may show either page: none of them may be acted on.
  listView_->ClearRows();
  ShowFreeBlocks(-1);
  AskForRefresh();
  // The card does not tell its page; the pane shows the one last selected.
  const bool selected = SetPage(*source_.card, page, *user_) == CommandResult::Done;
  selectedPage_ = selected ? page : 0;
  SetPane(pagePane_, selected ? QStringLiteral("Page %1").arg(page) : QString());
}

void CMainFrame::OnBackup() {
  const auto progress = progress_();
  BackupPage(*source_.card, *progress, *user_, selectedPage_);
}

void CMainFrame::OnRestore() {
  const auto progress = progress_();
  if (RestorePage(*source_.card, Copies(), *progress, *user_) == CommandResult::Done)
    listView_->OnRefresh();
}

void CMainFrame::OnFormat() {
  const auto progress = progress_();
  if (FormatPage(*source_.card, Copies(), *progress, *user_) == CommandResult::Done)
    listView_->OnRefresh();
}

// The report first; a repair only when the page is damaged and the user
// asks, and then a question for each size and each checksum it would change.
void CMainFrame::OnCheckCard() {
  CheckVerdict verdict;
  {
    const auto progress = progress_();
    if (CheckCard(*source_.card, CheckRequest(), Copies(), *progress, *user_, verdict) !=
        CommandResult::Done)
      return;
  }
  // A read-only image is not offered a repair it could not keep.
  if (!verdict.mendable || RefusedOnReadOnly(command::kRepair) ||
      !user_->AskYesNo(message::kAskRepair.text, false))
    return;
  const auto progress = progress_();
  const CheckRequest repair{true, CheckRequest::Checksums::Ask};
  if (CheckCard(*source_.card, repair, Copies(), *progress, *user_, verdict) == CommandResult::Done)
    listView_->OnRefresh();
}

void CMainFrame::OnDefragment() {
  const auto progress = progress_();
  if (DefragmentPage(*source_.card, Copies(), *progress, *user_) == CommandResult::Done)
    listView_->OnRefresh();
}

void CMainFrame::OnOpenSafetyCopies() {
  if (safetyCopies_.empty()) {
    user_->ShowMessage(message::kSafetyCopyNoFolder.text);
    return;
  }
  const QString folder = FromPath(safetyCopies_);
  QDir().mkpath(folder);
  // Without a file manager the user still learns where the copies are.
  if (!openFolder_(folder))
    user_->ShowMessage(Fill(message::kSafetyCopiesFolderIs, {safetyCopies_}));
}

void CMainFrame::OnSettings() {
  if (settings_ == nullptr) return;
  using Road = CSettingsDlg::CardRoad;
  const Road road = !source_.usbSerial.empty()   ? Road::Adapter
                    : !source_.imagePath.empty() ? Road::Image
                                                 : Road::Port;
  CSettingsDlg::RunSettings(this, *settings_, source_.card->GetLink(), road);
  ShowCardState();
}

void CMainFrame::OnHelp() {
  ShowUserGuide(this);
}

void CMainFrame::OnAbout() {
  CAboutDlg dialog(this);
  dialog.exec();
}
