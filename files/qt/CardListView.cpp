#include "CardListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListView>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "CommandIds.h"
#include "CommandRouter.h"
#include "FileCommands.h"
#include "FilePropertiesDlg.h"
#include "Icons.h"
#include "Progress.h"

namespace {

// The card's texts are bytes: each shows as one character, none dropped.
QString CardText(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

const int CCardListView::kDetailsWidths[kFileColumnCount] = {100, 150, 200, 150, 100,
                                                             100, 100, 100, 100};

CCardListView::CCardListView(CVmuCard& card, CUserPrompts& user, ProgressFactory progress,
                             QWidget* parent)
    : QWidget(parent),
      card_(card),
      user_(user),
      progress_(std::move(progress)),
      model_(new QStandardItemModel(0, kFileColumnCount, this)),
      selection_(new QItemSelectionModel(model_, this)),
      stack_(new QStackedWidget(this)),
      details_(new QTreeView(stack_)),
      icons_(new QListView(stack_)) {
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    model_->setHorizontalHeaderItem(static_cast<int>(column),
                                    new QStandardItem(kFileColumnHeadings[column]));
  }

  details_->setModel(model_);
  details_->setSelectionModel(selection_);
  details_->setRootIsDecorated(false);
  details_->setItemsExpandable(false);
  details_->setUniformRowHeights(true);
  details_->setAllColumnsShowFocus(true);  // the whole row shows selected
  details_->setSelectionBehavior(QAbstractItemView::SelectRows);
  details_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  details_->header()->setSectionsMovable(true);
  details_->header()->setStretchLastSection(false);
  details_->setIconSize(QSize(16, 16));

  icons_->setModel(model_);
  icons_->setSelectionModel(selection_);
  icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setWrapping(true);

  stack_->addWidget(details_);
  stack_->addWidget(icons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(stack_);

  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
  }
  connect(selection_, &QItemSelectionModel::selectionChanged, this,
          &CCardListView::selectionChanged);
  setFocusProxy(details_);

  showProperties = [this](const FileTexts& properties) {
    CFilePropertiesDlg dialog(properties, window());
    dialog.exec();
  };
  OnViewDetails();
}

CCardListView::~CCardListView() = default;

void CCardListView::RegisterCommands(CCommandTable& table) {
  using namespace command;
  table.On(kLargeIcons, [this] { OnViewLargeIcons(); });
  table.On(kSmallIcons, [this] { OnViewSmallIcons(); });
  table.On(kList, [this] { OnViewList(); });
  table.On(kDetails, [this] { OnViewDetails(); });
  table.On(kRefresh, [this] { OnRefresh(); });
  table.OnUpdate(kDownload, [this] { return OnUpdateSingleSelection(); });
  table.On(kProperties, [this] { OnProperties(); });
  table.On(kDownload, [this] { OnDownload(); });
  table.OnUpdate(kProperties, [this] { return OnUpdateSingleSelection(); });
  table.On(kUpload, [this] { OnUpload(); });
}

void CCardListView::OnRefresh() {
  FileListing listing;
  model_->removeRows(0, model_->rowCount());
  const auto progress = progress_();
  RefreshList(card_, *progress, user_, listing);
  SetRows(listing.rows);  // the rows read before a failure or a cancel stay
  emit freeBlocksChanged(
      listing.freeBlocks ? QString::fromStdString(FreeBlocksText(*listing.freeBlocks)) : QString());
}

void CCardListView::OnDownload() {
  std::uint16_t index = 0;
  if (!SelectedIndex(index)) return;
  const auto progress = progress_();
  DownloadFile(card_, index, *progress, user_);
}

void CCardListView::OnUpload() {
  const auto progress = progress_();
  UploadFile(card_, *progress, user_);
}

void CCardListView::OnProperties() {
  std::uint16_t index = 0;
  if (!SelectedIndex(index)) return;
  FileTexts properties;
  if (GetFileProperties(card_, index, user_, properties) == CommandResult::Done) {
    showProperties(properties);
  }
}

void CCardListView::SetRows(const std::vector<FileTexts>& rows) {
  const QIcon fileIcon = FileIcon();
  for (const FileTexts& row : rows) {
    QList<QStandardItem*> items;
    for (const std::string& text : row.columns) {
      auto* item = new QStandardItem(CardText(text));
      item->setEditable(false);
      items.append(item);
    }
    items[0]->setIcon(fileIcon);
    items[0]->setData(row.index, kIndexRole);
    model_->appendRow(items);
  }
}

int CCardListView::CountSelectedRows() const {
  return selection_->selectedRows(0).size();
}

bool CCardListView::OnUpdateSingleSelection() const {
  return CountSelectedRows() == 1;
}

// The row the command acts on: the current row when it is selected, as the
// list's selection mark, else the one selected row.
bool CCardListView::SelectedIndex(std::uint16_t& index) const {
  const QModelIndexList rows = selection_->selectedRows(0);
  if (rows.size() != 1) return false;
  index = static_cast<std::uint16_t>(rows.front().data(kIndexRole).toUInt());
  return true;
}

QWidget* CCardListView::GetCurrentView() const {
  return stack_->currentWidget();
}

void CCardListView::ShowView(QWidget* view, int command) {
  viewMode_ = command;
  stack_->setCurrentWidget(view);
  emit viewModeChanged(command);
}

void CCardListView::OnViewLargeIcons() {
  icons_->setViewMode(QListView::IconMode);
  icons_->setIconSize(QSize(32, 32));
  icons_->setFlow(QListView::LeftToRight);
  icons_->setGridSize(QSize(96, 64));
  ShowView(icons_, command::kLargeIcons);
}

void CCardListView::OnViewSmallIcons() {
  icons_->setViewMode(QListView::ListMode);
  icons_->setIconSize(QSize(16, 16));
  icons_->setFlow(QListView::LeftToRight);
  icons_->setGridSize(QSize(120, 20));
  ShowView(icons_, command::kSmallIcons);
}

void CCardListView::OnViewList() {
  icons_->setViewMode(QListView::ListMode);
  icons_->setIconSize(QSize(16, 16));
  icons_->setFlow(QListView::TopToBottom);
  icons_->setGridSize(QSize());
  ShowView(icons_, command::kList);
}

// Details always resets the column widths, including ones the user dragged.
void CCardListView::OnViewDetails() {
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    details_->setColumnWidth(static_cast<int>(column), kDetailsWidths[column]);
  }
  ShowView(details_, command::kDetails);
}

// The file menu opens wherever it is asked for, on a row or not; from the
// keyboard it opens 5 pixels in from the list's top-left corner.
bool CCardListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ContextMenu) return QWidget::eventFilter(watched, event);
  auto* menuEvent = static_cast<QContextMenuEvent*>(event);
  auto* view = static_cast<QAbstractItemView*>(GetCurrentView());
  const QPoint where = menuEvent->reason() == QContextMenuEvent::Keyboard
                           ? view->viewport()->mapToGlobal(QPoint(5, 5))
                           : menuEvent->globalPos();
  emit contextMenuRequested(where);
  return true;
}
