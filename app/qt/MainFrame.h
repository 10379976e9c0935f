#pragma once

#include <QMainWindow>
#include <QSettings>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "AdapterCards.h"
#include "CardListView.h"
#include "CardSource.h"
#include "CareCommands.h"
#include "CommandRouter.h"
#include "Result.h"
#include "UserPrompts.h"
#include "VmuCard.h"

class CLinkSettingsStore;
class CRecentImages;
class CStatusPane;
class QAction;
class QActionGroup;
class QMenu;
class QToolBar;

// The main window: menus, toolbar and status bar and the file list as its only
// client. Every command, from a menu, a key, the toolbar or the list's
// context menu, goes through one router: the list window's table first, then
// the frame's, then the application's; a command none of them handles is
// disabled. The card is the parallel port's or a card image's, and can change
// while the program runs.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // What the frame is given; tests put in their own user and progress.
  struct Services {
    CardSource card;        // owned by the frame; none: the parallel port
    std::string tracePath;  // the wire trace's file, never saved over; none: no trace
    ImageRoad imageRoad = ImageRoad::File;  // how the card images opened later are reached
    CLinkSettingsStore* settings = nullptr;
    CRecentImages* recentImages = nullptr;    // none: no list is kept
    QSettings* viewSettings = nullptr;        // none: the text choice is not kept
    std::unique_ptr<CUserPrompts> user;       // none: message boxes and file dialogs
    CCardListView::ProgressFactory progress;  // none: the "Data Transfer" dialog
    // The card object on the parallel port; none: the best road this machine offers.
    std::function<std::unique_ptr<CVmuCard>()> makePortCard;
    // Where the copies of a page go before a command rewrites it; empty when
    // the user has no data folder, which refuses the commands that take one.
    std::string safetyCopies = DefaultSafetyCopyFolder();
    // Shows a folder in a file manager, false when none opened it; none: the desktop's.
    std::function<bool(const QString&)> openFolder;
    // The USB adapters attached and the cards in their slots; none: libusb's.
    std::function<Result(std::vector<AdapterCards>&)> findAdapterCards;
    // Fills an empty source with the card in a slot of the adapter with that
    // serial number ("sim:FILE": a simulated one); none: libusb's, on the
    // real clock (OpenAdapterCard).
    std::function<Result(const std::string& usb, const std::string& slot, CardSource&)>
        openAdapterCard;
  };

  explicit CMainFrame(Services services, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CCardListView* GetListView() const { return listView_; }
  CVmuCard& GetCard() const { return *source_.card; }
  QAction* GetAction(int id) const;
  QMenu* GetContextMenu() const { return contextMenu_; }

  // Sets every action's enabled state from the router.
  void UpdateCommandUi();
  // Runs a command as a menu item would, unless another is still running. A
  // command that changes the card (CardChanges.h) is refused with a message
  // while the card image is open for reading only; after any command, what
  // it wrote to the image reaches the disk.
  void RunCommand(int id);

  // Makes the card image the card; a file that is no card image is refused
  // with a message and the card stays as it was.
  bool OpenImage(const QString& path);
  // Makes the card on the parallel port the card again, and forgets the
  // card on the USB adapter.
  void UsePort();
  // Makes the card in slot of the adapter usb names the card, lists its
  // files and remembers it for the next start; one that cannot be opened is
  // refused with a message and the card stays as it was.
  bool UseAdapterCard(const std::string& usb, const std::string& slot);
  // File > Use USB Adapter's submenu, filled each time it opens.
  QMenu* GetAdapterMenu() const { return adapterMenu_; }
  void FillAdapterMenu();
  // The free blocks of the page last listed ("42 blocks free"); below 0
  // when not known.
  void ShowFreeBlocks(int count);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void RegisterFrameCommands();
  void ApplyStoredSettings();
  void OpenRememberedCard();
  void UseCard(CardSource next);
  void ShowCardState();
  void ShowIdlePrompt(const QString& message);
  void ShowIdleText(const QString& text);
  bool ReportFailure(const Result& result);  // shows a failure's message; true when it failed
  void ShowRecentImages();
  Result CheckImageWritable() const;
  // A command that changes the card, on an image open for reading only: the
  // refusal is shown; on a card the computer also sees as a USB drive, one
  // the user declined when asked.
  bool RefusedOnReadOnly(int id);
  void ReachAdapterCardAgain();
  void LetGoOfAdapter();
  void UseAdapterCardOrWhy(const std::string& usb, CardSlot slot);
  void AskForRefresh();
  void RunExclusively(const std::function<void()>& work);
  void OpenDroppedFiles(const QStringList& paths);

  void OnSetPage(std::uint16_t page);
  void OnTextEncoding(TextEncoding encoding);
  void OnBackup();
  void OnRestore();
  void OnFormat();
  void OnCheckCard();
  void OnDefragment();
  void OnOpenSafetyCopies();
  SafetyCopies Copies() const { return WantedCopies(safetyCopies_, selectedPage_); }
  void OnSettings();
  void OnOpenImage();
  void OnRecentImage(int n);
  void OnHelp();
  void OnAbout();

  CardSource source_;
  ImageRoad imageRoad_;
  CLinkSettingsStore* settings_;
  CRecentImages* recentImages_;
  QSettings* viewSettings_;
  std::unique_ptr<CUserPrompts> user_;
  CCardListView::ProgressFactory progress_;
  std::function<std::unique_ptr<CVmuCard>()> makePortCard_;
  std::string safetyCopies_;
  std::function<bool(const QString&)> openFolder_;
  std::function<Result(std::vector<AdapterCards>&)> findAdapterCards_;
  std::function<Result(const std::string&, const std::string&, CardSource&)> openAdapterCard_;
  std::uint16_t selectedPage_ = 0;  // the page last selected; 0 when not known
  CCommandRouter router_;
  CCardListView* listView_ = nullptr;
  std::map<int, QAction*> actions_;
  // Keys whose command's menu item shows no key: they work, unseen.
  std::vector<std::pair<int, QAction*>> hiddenKeys_;
  QActionGroup* viewModes_ = nullptr;
  QActionGroup* textEncodings_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QMenu* adapterMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  CStatusPane* messagePane_ = nullptr;
  CStatusPane* portPane_ = nullptr;
  CStatusPane* pagePane_ = nullptr;
  CStatusPane* freeBlocksPane_ = nullptr;
  QString idleText_;
  bool running_ = false;
  bool refreshAsked_ = false;  // the idle text asks for a Refresh
};
