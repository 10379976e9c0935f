#pragma once

#include <QMainWindow>
#include <map>
#include <memory>

#include "CardListView.h"
#include "CommandRouter.h"
#include "Result.h"
#include "UserPrompts.h"
#include "VmuCard.h"

class CLinkSettingsStore;
class CSimulatedCard;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;

// The main window: menus, toolbar, status bar and the file list as its only
// client. Every command, from a menu, a key, the toolbar or the list's
// context menu, goes through one router: the list window's table first, then
// the frame's, then the application's; a command none of them handles is
// disabled.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // What the frame is given; tests put in their own user and progress.
  struct Services {
    std::unique_ptr<CVmuCard> card;  // owned by the frame
    CLinkSettingsStore* settings = nullptr;
    std::unique_ptr<CUserPrompts> user;       // none: message boxes and file dialogs
    CCardListView::ProgressFactory progress;  // none: the "Data Transfer" dialog
    // The simulated card behind the card object, when it is one over an image
    // file: commands then keep to what the image can hold (its pages, its
    // write permission), never save over it, and sync what they wrote.
    CSimulatedCard* simulated = nullptr;
  };

  explicit CMainFrame(Services services, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CCardListView* GetListView() const { return listView_; }
  CVmuCard& GetCard() const { return *card_; }
  QAction* GetAction(int id) const;
  QMenu* GetContextMenu() const { return contextMenu_; }

  // Sets every action's enabled state from the router.
  void UpdateCommandUi();
  // Runs a command as a menu item would. A command that changes the card is
  // refused with a message while the card image is open for reading only;
  // after any command, what it wrote to the image reaches the disk.
  void RunCommand(int id);

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void RegisterFrameCommands();
  void ApplyStoredSettings();
  void ShowIdlePrompt(const QString& message);
  bool ReportFailure(const Result& result);  // shows a failure's message; true when it failed

  void OnSetPage(std::uint16_t page);
  void OnBackup();
  void OnRestore();
  void OnSettings();
  void OnHelp();
  void OnAbout();

  std::unique_ptr<CVmuCard> card_;
  CLinkSettingsStore* settings_;
  std::unique_ptr<CUserPrompts> user_;
  CCardListView::ProgressFactory progress_;
  CSimulatedCard* simulated_;
  CCommandRouter router_;
  CCardListView* listView_ = nullptr;
  std::map<int, QAction*> actions_;
  QActionGroup* viewModes_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* portProblem_ = nullptr;
};
