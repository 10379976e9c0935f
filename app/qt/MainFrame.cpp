#include "MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>
#include <set>

#include "AboutDlg.h"
#include "CommandIds.h"
#include "HelpWindow.h"
#include "Icons.h"
#include "LinkSettings.h"
#include "LinkSettingsStore.h"
#include "MenuTable.h"
#include "OutputGuard.h"
#include "PageCommands.h"
#include "ProgressDlg.h"
#include "QtUserPrompts.h"
#include "SettingsDlg.h"
#include "SimulatedCard.h"
#include "VmuCard.h"

namespace {
constexpr char kIdlePrompt[] = "For Help, press F1.";

// A prompt is the status-bar text, then after a line break the tool tip.
void SetPrompt(QAction* action, const char* prompt) {
  const QString text = QString::fromUtf8(prompt);
  const int lineBreak = text.indexOf('\n');
  action->setStatusTip(text.left(lineBreak));
  action->setWhatsThis(text.left(lineBreak));
  if (lineBreak >= 0) action->setToolTip(text.mid(lineBreak + 1));
}
}  // namespace

CMainFrame::CMainFrame(Services services, QWidget* parent)
    : QMainWindow(parent),
      card_(std::move(services.card)),
      settings_(services.settings),
      user_(std::move(services.user)),
      progress_(std::move(services.progress)),
      simulated_(services.simulated) {
  setWindowTitle(QStringLiteral("Korvantis"));
  setWindowIcon(ProgramIcon());
  if (!user_) user_ = std::make_unique<CQtUserPrompts>(this);
  // No download or backup is ever saved over the card image in use.
  user_ = std::make_unique<COutputGuard>(std::move(user_), [this](const std::string& path) {
    return simulated_ != nullptr ? simulated_->CheckOutput(path) : Result();
  });
  if (!progress_) progress_ = [this] { return std::make_unique<CProgressDlg>(listView_); };

  ApplyStoredSettings();
  listView_ = new CCardListView(*card_, *user_, progress_, this);
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
  UpdateCommandUi();
  resize(1240, 600);  // room for every column at its Details width
  listView_->setFocus();
}

CMainFrame::~CMainFrame() {
  // The list window borrows the card: it goes first, then the card and its port.
  std::unique_ptr<QWidget> list(takeCentralWidget());
  list.reset();
  card_.reset();
}

// The link gets the stored settings (the defaults, without a store) before
// any command can run; its road to the port is chosen here, once.
void CMainFrame::ApplyStoredSettings() {
  CVmuLink& link = *card_->GetLink();
  const bool simulated = link.GetPortAccess() == PortAccess::Simulated;
  ApplyLinkSettings(settings_ != nullptr ? settings_->Read() : LinkSettings(), link);
  if (simulated) link.SetDelayFactor(0);  // the simulated card needs no settling time
}

void CMainFrame::RegisterFrameCommands() {
  using namespace command;
  CCommandTable& frame = router_.Table(CCommandRouter::Level::Frame);
  frame.On(kBackup, [this] { OnBackup(); });
  frame.On(kRestore, [this] { OnRestore(); });
  frame.On(kSetPage1, [this] { OnSetPage(1); });
  frame.On(kSetPage2, [this] { OnSetPage(2); });
  frame.On(kSetPage3, [this] { OnSetPage(3); });
  frame.On(kSetPage4, [this] { OnSetPage(4); });
  if (settings_ != nullptr) frame.On(kSettings, [this] { OnSettings(); });
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
  auto makeAction = [this](int id) {
    if (actions_.count(id) != 0) return actions_[id];
    auto* action = new QAction(this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    addAction(action);  // its keys work wherever the focus is in the window
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
  std::map<int, QList<QKeySequence>> keys;
  for (const Accelerator& accelerator : Accelerators()) {
    keys[accelerator.id].append(QKeySequence(QString::fromUtf8(accelerator.key)));
  }
  for (const auto& [id, sequences] : keys)
    makeAction(id)->setShortcuts(sequences);

  viewModes_ = new QActionGroup(this);
  for (int id : {command::kLargeIcons, command::kSmallIcons, command::kList, command::kDetails}) {
    actions_[id]->setCheckable(true);
    viewModes_->addAction(actions_[id]);
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

void CMainFrame::CreateStatusBar() {
  portProblem_ = new QLabel(this);
  portProblem_->setObjectName("portProblem");
  const std::string& problem = card_->GetLink()->GetPortProblem();
  portProblem_->setText(QString::fromStdString(problem));
  portProblem_->setToolTip(QString::fromStdString(problem));
  portProblem_->setVisible(!problem.empty());
  statusBar()->addPermanentWidget(portProblem_, 1);
  connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::ShowIdlePrompt);
  statusBar()->showMessage(kIdlePrompt);
}

// When a command's prompt goes away the idle text comes back.
void CMainFrame::ShowIdlePrompt(const QString& message) {
  if (message.isEmpty()) statusBar()->showMessage(kIdlePrompt);
}

QAction* CMainFrame::GetAction(int id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::UpdateCommandUi() {
  for (const auto& [id, action] : actions_)
    action->setEnabled(router_.IsEnabled(id));
}

void CMainFrame::RunCommand(int id) {
  // The commands that change the card; every other one only reads it.
  static const std::set<int> kChangingCommands = {command::kUpload, command::kRestore};
  if (simulated_ != nullptr && kChangingCommands.count(id) != 0 &&
      ReportFailure(simulated_->CheckWritable())) {
    return;
  }
  router_.Route(id);
  if (simulated_ != nullptr) ReportFailure(simulated_->SyncImage());
  UpdateCommandUi();
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

void CMainFrame::OnSetPage(std::uint16_t page) {
  if (simulated_ != nullptr && ReportFailure(simulated_->CheckPage(page))) return;
  SetPage(*card_, page, *user_);
}

void CMainFrame::OnBackup() {
  const auto progress = progress_();
  BackupPage(*card_, *progress, *user_);
}

void CMainFrame::OnRestore() {
  const auto progress = progress_();
  RestorePage(*card_, *progress, *user_);
}

void CMainFrame::OnSettings() {
  if (settings_ == nullptr) return;
  CSettingsDlg::RunSettings(this, *settings_, *card_->GetLink());
  const std::string& problem = card_->GetLink()->GetPortProblem();
  portProblem_->setText(QString::fromStdString(problem));
  portProblem_->setVisible(!problem.empty());
}

void CMainFrame::OnHelp() {
  ShowUserGuide(this);
}

void CMainFrame::OnAbout() {
  CAboutDlg dialog(this);
  dialog.exec();
}
