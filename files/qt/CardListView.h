#pragma once

#include <QModelIndex>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "CardText.h"
#include "FileCommands.h"
#include "FileTexts.h"

class CCommandTable;
class CDetailsColumns;
class CProgress;
class CUserPrompts;
class CVmuCard;
class QItemSelectionModel;
class QListView;
class QMimeData;
class QSettings;
class QStackedWidget;
class QStandardItemModel;
class QTemporaryDir;
class QTreeView;

// The main window's client: the files of the selected card page, one row per
// file, in four view modes sharing one model and one selection, and the
// window on which the file commands live.
class CCardListView : public QWidget {
  Q_OBJECT

 public:
  using ProgressFactory = std::function<std::unique_ptr<CProgress>()>;

  static constexpr int kIndexRole = Qt::UserRole + 1;  // a row's directory index
  // Details' column widths while the list has no rows to fit them to.
  static constexpr std::array<int, kFileColumnCount> kDetailsWidths = {100, 150, 200, 150, 100,
                                                                       100, 100, 100, 100};

  // The card and the user belong to the caller; progress makes the progress
  // window of each long command; defragment is the page's defragment, which
  // an upload offers when data files hold the blocks a game needs (none: the
  // game is refused).
  CCardListView(CVmuCard& card, CUserPrompts& user, ProgressFactory progress,
                RunDefragment defragment = RunDefragment(), QWidget* parent = nullptr);
  ~CCardListView() override;

  // Puts the list window's commands and enable rules into its table.
  void RegisterCommands(CCommandTable& table);
  // Works on another card from now on; the rows, which belong to the old
  // one, go.
  void SetCard(CVmuCard& card);
  // Empties the list: its rows belong to a page that is no longer selected.
  void ClearRows();
  // Shows the rows' texts decoded this way from now on, without reading the card.
  void SetEncoding(TextEncoding encoding);
  TextEncoding GetEncoding() const { return encoding_; }
  // Keeps the Details column widths the user sets in the settings, and
  // takes up those kept there (CDetailsColumns).
  void KeepColumnWidthsIn(QSettings* settings);

  void OnRefresh();
  void OnDownload();
  void OnUpload();
  void OnDelete();  // the selected rows' files, once the user agrees
  void OnProperties();
  void OnExportIcon();
  void OnSetIcon();  // the card's own icon, from a picture the user picks
  void OnViewLargeIcons();
  void OnViewSmallIcons();
  void OnViewList();
  void OnViewDetails();
  bool OnUpdateSingleSelection() const;

  // Uploads the files (DCI, or VMS/VMI pairs) one after another under one
  // progress window, as Upload does each; stops at the first that fails or
  // is cancelled.
  void UploadFiles(const QStringList& paths);
  // What a drag of these rows out of the list carries: each row's file,
  // downloaded into a DCI file of a folder of its own, as a file address.
  // Nothing when a download fails or is cancelled.
  QMimeData* DownloadForDrag(const QModelIndexList& indexes);

  int GetViewMode() const { return viewMode_; }  // the command of the mode shown
  int CountSelectedRows() const;
  QStandardItemModel* GetModel() const { return model_; }
  QTreeView* GetDetailsView() const { return details_; }
  QListView* GetIconView() const { return icons_; }
  QWidget* GetCurrentView() const;

  // Shows what the properties command found; replaceable so tests need not
  // face a modal dialog.
  std::function<void(const FileTexts&)> showProperties;
  // Asks how the card's icon is made from the picture (the Set Icon
  // preview); false when the user cancels. Replaceable, as showProperties.
  std::function<bool(const RgbaPicture&, CardIconChoice&)> chooseIcon;

 signals:
  void viewModeChanged(int command);
  void selectionChanged();
  // The file context menu was asked for, at this point on the screen.
  void contextMenuRequested(const QPoint& globalPosition);
  // The free blocks of the page listed: counted by a Refresh, or below 0
  // while a Refresh runs and when the count is unknown.
  void freeBlocksChanged(int blocks);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AppendRow(const FileTexts& row);
  void InsertRow(int position, const FileTexts& row);
  void ShowTexts(int row);
  // The desktop's upload asks every question, offers a game the defragment
  // and tells the list each file it wrote.
  UploadDecisions Decisions();
  // Runs an upload; the list then shows what it wrote, or is read again when
  // the page was defragmented on the way.
  void Upload(const std::function<void(const UploadDecisions&)>& upload);
  // A file an upload wrote: its row replaces the one of its slot or joins
  // the others in directory order, with the free blocks after it. Only a
  // list that is the whole page shows it.
  void ShowUploaded(const UploadedFile& file);
  // Whether the view shown draws the files' own icons (all but List).
  bool ShowsIcons() const;
  // Reads, for the rows still without, the rest of their icons' first
  // frame: once per file per Refresh, and only while icons show.
  void ReadMissingIcons();
  // The files of the selected rows as they were listed, in directory order.
  std::vector<ListedFile> SelectedFiles() const;
  void ShowView(QWidget* view, int command);

  CVmuCard* card_;
  CUserPrompts& user_;
  ProgressFactory progress_;
  RunDefragment defragment_;
  QStandardItemModel* model_;
  QItemSelectionModel* selection_;
  QStackedWidget* stack_;
  QTreeView* details_;
  QListView* icons_;
  CDetailsColumns* columns_;
  int viewMode_ = 0;
  bool listed_ = false;         // the rows are the whole page, as its last Refresh read it
  bool pageRewritten_ = false;  // a defragment ran during the upload under way
  TextEncoding encoding_ = TextEncoding::Automatic;
  std::vector<FileTexts> rows_;                // as read, undecoded, in the model's row order
  std::vector<bool> iconRead_;                 // per row: its icon's blocks were read this Refresh
  std::unique_ptr<QTemporaryDir> dragFolder_;  // the files of the last drag out
};
