#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "FileTexts.h"

class CCommandTable;
class CProgress;
class CUserPrompts;
class CVmuCard;
class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

// The main window's client: the files of the selected card page, one row per
// file, in four view modes sharing one model and one selection, and the
// window on which the file commands live.
class CCardListView : public QWidget {
  Q_OBJECT

 public:
  using ProgressFactory = std::function<std::unique_ptr<CProgress>()>;

  static constexpr int kIndexRole = Qt::UserRole + 1;  // a row's directory index
  static const int kDetailsWidths[kFileColumnCount];

  // The card and the user belong to the caller; progress makes the progress
  // window of each long command.
  CCardListView(CVmuCard& card, CUserPrompts& user, ProgressFactory progress,
                QWidget* parent = nullptr);
  ~CCardListView() override;

  // Puts the list window's commands and enable rules into its table.
  void RegisterCommands(CCommandTable& table);

  void OnRefresh();
  void OnDownload();
  void OnUpload();
  void OnProperties();
  void OnViewLargeIcons();
  void OnViewSmallIcons();
  void OnViewList();
  void OnViewDetails();
  bool OnUpdateSingleSelection() const;

  int GetViewMode() const { return viewMode_; }  // the command of the mode shown
  int CountSelectedRows() const;
  QStandardItemModel* GetModel() const { return model_; }
  QTreeView* GetDetailsView() const { return details_; }
  QListView* GetIconView() const { return icons_; }
  QWidget* GetCurrentView() const;

  // Shows what the properties command found; replaceable so tests need not
  // face a modal dialog.
  std::function<void(const FileTexts&)> showProperties;

 signals:
  void viewModeChanged(int command);
  void selectionChanged();
  // The file context menu was asked for, at this point on the screen.
  void contextMenuRequested(const QPoint& globalPosition);
  // A Refresh ended: "42 blocks free", or empty when the count is unknown.
  void freeBlocksChanged(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetRows(const std::vector<FileTexts>& rows);
  bool SelectedIndex(std::uint16_t& index) const;
  void ShowView(QWidget* view, int command);

  CVmuCard& card_;
  CUserPrompts& user_;
  ProgressFactory progress_;
  QStandardItemModel* model_;
  QItemSelectionModel* selection_;
  QStackedWidget* stack_;
  QTreeView* details_;
  QListView* icons_;
  int viewMode_ = 0;
};
