#include "CardListView.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "CardIcon.h"
#include "CommandIds.h"
#include "CommandRouter.h"
#include "DetailsColumns.h"
#include "FileBatch.h"
#include "FileCommands.h"
#include "FileIconImage.h"
#include "FilePropertiesDlg.h"
#include "FileReader.h"
#include "Icons.h"
#include "Messages.h"
#include "Progress.h"
#include "SafeFileName.h"
#include "SetIconDlg.h"
#include "UserPrompts.h"

namespace {

// The rows, dragged out of the list, carry their files as DCI files.
class CFileListModel : public QStandardItemModel {
 public:
  using QStandardItemModel::QStandardItemModel;

  std::function<QMimeData*(const QModelIndexList&)> dragData;

  QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list")}; }
  QMimeData* mimeData(const QModelIndexList& indexes) const override {
    return dragData ? dragData(indexes) : nullptr;
  }
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
};

// In Large Icons a name wider than its cell goes on over a second line,
// broken anywhere, not only at a space: most card file names have none.
class CIconNameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool breakAnywhere = false;

  QString displayText(const QVariant& value, const QLocale& locale) const override {
    const QString text = QStyledItemDelegate::displayText(value, locale);
    if (!breakAnywhere) return text;
    // A zero-width space before every character that starts one.
    QString broken;
    for (const QChar c : text) {
      if (!broken.isEmpty() && !c.isLowSurrogate() && c.category() != QChar::Mark_NonSpacing) {
        broken += QChar(0x200B);
      }
      broken += c;
    }
    return broken;
  }
};
}  // namespace

CCardListView::CCardListView(CVmuCard& card, CUserPrompts& user, ProgressFactory progress,
                             RunDefragment defragment, QWidget* parent)
    : QWidget(parent),
      card_(&card),
      user_(user),
      progress_(std::move(progress)),
      defragment_(std::move(defragment)),
      model_(new CFileListModel(0, kFileColumnCount, this)),
      selection_(new QItemSelectionModel(model_, this)),
      stack_(new QStackedWidget(this)),
      details_(new QTreeView(stack_)),
      icons_(new QListView(stack_)),
      columns_(nullptr) {
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
  columns_ = new CDetailsColumns(details_, kDetailsWidths);

  icons_->setModel(model_);
  icons_->setSelectionModel(selection_);
  icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setWrapping(true);
  icons_->setItemDelegate(new CIconNameDelegate(icons_));

  stack_->addWidget(details_);
  stack_->addWidget(icons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(stack_);

  icons_->setMovement(QListView::Static);
  static_cast<CFileListModel*>(model_)->dragData = [this](const QModelIndexList& indexes) {
    return DownloadForDrag(indexes);
  };
  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    // Rows can be dragged out; files dropped here go to the main window.
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setDefaultDropAction(Qt::CopyAction);
    view->viewport()->setAcceptDrops(false);
  }
  connect(selection_, &QItemSelectionModel::selectionChanged, this,
          &CCardListView::selectionChanged);
  setFocusProxy(details_);

  showProperties = [this](const FileTexts& properties) {
    CFilePropertiesDlg dialog(properties, window());
    dialog.exec();
  };
  chooseIcon = [this](const RgbaPicture& picture, CardIconChoice& choice) {
    CSetIconDlg dialog(picture, choice, window());
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.Choice();
    return true;
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
  table.OnUpdate(kDownload, [this] { return CountSelectedRows() >= 1; });
  table.On(kProperties, [this] { OnProperties(); });
  table.On(kDownload, [this] { OnDownload(); });
  table.OnUpdate(kProperties, [this] { return OnUpdateSingleSelection(); });
  table.On(kUpload, [this] { OnUpload(); });
  table.On(kDelete, [this] { OnDelete(); });
  table.OnUpdate(kDelete, [this] { return CountSelectedRows() >= 1; });
  table.On(kExportIcon, [this] { OnExportIcon(); });
  table.OnUpdate(kExportIcon, [this] { return OnUpdateSingleSelection(); });
  table.On(kSetIcon, [this] { OnSetIcon(); });
}

void CCardListView::SetCard(CVmuCard& card) {
  card_ = &card;
  ClearRows();
}

void CCardListView::SetEncoding(TextEncoding encoding) {
  encoding_ = encoding;
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
    ShowTexts(row);
}

void CCardListView::KeepColumnWidthsIn(QSettings* settings) {
  columns_->KeepIn(settings);
}

void CCardListView::ClearRows() {
  listed_ = false;
  model_->removeRows(0, model_->rowCount());
  rows_.clear();
  iconRead_.clear();
}

bool CCardListView::ShowsIcons() const {
  return viewMode_ != command::kList;
}

void CCardListView::ReadMissingIcons() {
  if (!ShowsIcons()) return;
  CBusyScope busy(user_);
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (iconRead_[row]) continue;
    iconRead_[row] = true;
    // A file whose icon cannot be read keeps the generic one; the listing
    // already said what was wrong with the card.
    if (ReadFirstFrameRest(*card_, rows_[row])) {
      model_->item(static_cast<int>(row), 0)->setIcon(RowIcon(rows_[row]));
    }
  }
}

// Each row is shown as soon as it is read: the progress window lets the
// list repaint between entries. The rows read before a failure or a cancel stay.
void CCardListView::OnRefresh() {
  ClearRows();
  emit freeBlocksChanged(-1);
  FileListing listing;
  const auto progress = progress_();
  const bool icons = ShowsIcons();
  listed_ = RefreshList(
                *card_, *progress, user_, listing,
                [this, icons](const FileTexts& row) {
                  AppendRow(row);
                  iconRead_.back() = icons;
                },
                icons) == CommandResult::Done;
  emit freeBlocksChanged(listing.freeBlocks ? int{*listing.freeBlocks} : -1);
}

// One file is saved where the user chooses; several go to a folder.
void CCardListView::OnDownload() {
  const std::vector<ListedFile> files = SelectedFiles();
  if (files.empty()) return;
  const auto progress = progress_();
  if (files.size() == 1) {
    DownloadFile(*card_, files.front(), *progress, user_);
  } else {
    DownloadFiles(*card_, files, *progress, user_);
  }
}

UploadDecisions CCardListView::Decisions() {
  UploadDecisions decisions;
  if (defragment_) {
    decisions.runDefragment = [this](CVmuCard& card, CProgress& progress, CUserPrompts& user) {
      pageRewritten_ = true;
      return defragment_(card, progress, user);
    };
  }
  decisions.onUploaded = [this](const UploadedFile& file) { ShowUploaded(file); };
  return decisions;
}

// A defragment moves every file: their rows no longer match the card.
void CCardListView::Upload(const std::function<void(const UploadDecisions&)>& upload) {
  pageRewritten_ = false;
  upload(Decisions());
  if (pageRewritten_ && listed_) OnRefresh();
}

void CCardListView::ShowUploaded(const UploadedFile& file) {
  if (!listed_ || pageRewritten_) return;
  const auto slot = std::find_if(rows_.begin(), rows_.end(), [&file](const FileTexts& row) {
    return row.index >= file.row.index;
  });
  const int position = static_cast<int>(slot - rows_.begin());
  if (slot != rows_.end() && slot->index == file.row.index) {
    model_->removeRow(position);
    rows_.erase(slot);
    iconRead_.erase(iconRead_.begin() + position);
  }
  InsertRow(position, file.row);
  iconRead_[static_cast<std::size_t>(position)] = true;  // the upload knew all of its icon
  emit freeBlocksChanged(file.freeBlocks ? int{*file.freeBlocks} : -1);
}

void CCardListView::OnUpload() {
  const auto progress = progress_();
  Upload([&](const UploadDecisions& decisions) {
    ::UploadFiles(*card_, *progress, user_, decisions);
  });
}

void CCardListView::OnDelete() {
  if (DeleteFiles(*card_, SelectedFiles(), user_) == CommandResult::Done) OnRefresh();
}

void CCardListView::OnProperties() {
  const std::vector<ListedFile> files = SelectedFiles();
  if (files.size() != 1) return;
  FileTexts properties;
  if (GetFileProperties(*card_, files.front(), user_, properties) == CommandResult::Done) {
    {
      CBusyScope busy(user_);
      // The dialog shows the icon; without the rest of its first frame, the generic one.
      static_cast<void>(ReadFirstFrameRest(*card_, properties));
    }
    showProperties(EscapeCardTexts(DecodeFileTexts(properties, encoding_)));
  }
}

void CCardListView::OnExportIcon() {
  const std::vector<ListedFile> files = SelectedFiles();
  if (files.size() == 1) ExportIcon(*card_, files.front(), user_);
}

// Qt reads the picture, whatever its kind, but only from a regular file,
// which cannot keep it waiting; the icon is made and written by the file
// commands, and the list shows it.
void CCardListView::OnSetIcon() {
  std::string path;
  if (!user_.ChooseFileToOpen(kPictureFileKind, path)) return;
  QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)));
  reader.setAutoTransform(true);
  QImage image;
  const Result file = CheckRegularFile(path);
  if (!file || !reader.read(&image)) {
    user_.ShowMessage(Fill(message::kPictureUnreadable,
                           {path, file ? reader.errorString().toStdString() : file.Message()}));
    return;
  }
  const RgbaPicture picture = PictureOf(image);
  CardIconChoice choice;
  choice.description = DefaultIconDescription(path);
  if (!chooseIcon(picture, choice)) return;
  const auto progress = progress_();
  if (SetCardIcon(*card_, picture, choice, *progress, user_) == CommandResult::Done) OnRefresh();
}

void CCardListView::UploadFiles(const QStringList& paths) {
  std::vector<std::string> names;
  for (const QString& path : paths)
    names.push_back(QFile::encodeName(path).toStdString());
  const auto progress = progress_();
  Upload([&](const UploadDecisions& decisions) {
    ::UploadFiles(*card_, names, *progress, user_, decisions);
  });
}

QMimeData* CCardListView::DownloadForDrag(const QModelIndexList& indexes) {
  std::set<int> rows;
  for (const QModelIndex& index : indexes)
    rows.insert(index.row());
  if (rows.empty()) return nullptr;
  dragFolder_ = std::make_unique<QTemporaryDir>();
  if (!dragFolder_->isValid()) {
    user_.ShowMessage(Fill(message::kCannotWrite, {dragFolder_->errorString().toStdString()}));
    return nullptr;
  }
  QList<QUrl> urls;
  std::set<std::string> stems;
  for (const int row : rows) {
    const FileTexts& texts = rows_[static_cast<std::size_t>(row)];
    const std::string stem = DistinctFileStem(texts.index, texts.Text(FileColumn::FileName), stems);
    const QString path = dragFolder_->filePath(QString::fromStdString(stem + ".dci"));
    const auto progress = progress_();
    if (DownloadFile(*card_, ListedFile(texts), QFile::encodeName(path).toStdString(), *progress,
                     user_) != CommandResult::Done) {
      return nullptr;
    }
    urls.append(QUrl::fromLocalFile(path));
  }
  auto* mime = new QMimeData;
  mime->setUrls(urls);
  return mime;
}

void CCardListView::AppendRow(const FileTexts& row) {
  InsertRow(model_->rowCount(), row);
}

void CCardListView::InsertRow(int position, const FileTexts& row) {
  QList<QStandardItem*> items;
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    auto* item = new QStandardItem;
    item->setEditable(false);
    items.append(item);
  }
  items[0]->setIcon(RowIcon(row));
  items[0]->setData(row.index, kIndexRole);
  rows_.insert(rows_.begin() + position, row);
  iconRead_.insert(iconRead_.begin() + position, false);
  model_->insertRow(position, items);
  ShowTexts(position);
}

void CCardListView::ShowTexts(int row) {
  const FileTexts texts =
      EscapeCardTexts(DecodeFileTexts(rows_[static_cast<std::size_t>(row)], encoding_));
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    model_->item(row, static_cast<int>(column))
        ->setText(QString::fromStdString(texts.columns[column]));
  }
}

int CCardListView::CountSelectedRows() const {
  return static_cast<int>(selection_->selectedRows(0).size());
}

bool CCardListView::OnUpdateSingleSelection() const {
  return CountSelectedRows() == 1;
}

// Each row carries the entry it was listed from, so that the command acts on
// that file or, if the card changed since, on none.
std::vector<ListedFile> CCardListView::SelectedFiles() const {
  std::vector<ListedFile> files;
  for (const QModelIndex& row : selection_->selectedRows(0))
    files.emplace_back(rows_[static_cast<std::size_t>(row.row())]);
  std::sort(files.begin(), files.end(),
            [](const ListedFile& a, const ListedFile& b) { return a.index < b.index; });
  return files;
}

QWidget* CCardListView::GetCurrentView() const {
  return stack_->currentWidget();
}

void CCardListView::ShowView(QWidget* view, int command) {
  viewMode_ = command;
  stack_->setCurrentWidget(view);
  ReadMissingIcons();
  emit viewModeChanged(command);
}

// A name wraps onto a second line below its icon.
void CCardListView::OnViewLargeIcons() {
  const QFontMetrics font = icons_->fontMetrics();
  icons_->setViewMode(QListView::IconMode);
  icons_->setIconSize(QSize(32, 32));
  icons_->setFlow(QListView::LeftToRight);
  icons_->setWordWrap(true);
  static_cast<CIconNameDelegate*>(icons_->itemDelegate())->breakAnywhere = true;
  icons_->setGridSize(QSize(std::max(96, font.horizontalAdvance(QString(8, QLatin1Char('M')))),
                            32 + 2 * font.lineSpacing() + 16));
  ShowView(icons_, command::kLargeIcons);
}

// Each cell takes the longest name a card file has, so no label reaches
// the next icon.
void CCardListView::OnViewSmallIcons() {
  const QFontMetrics font = icons_->fontMetrics();
  icons_->setViewMode(QListView::ListMode);
  icons_->setIconSize(QSize(16, 16));
  icons_->setFlow(QListView::LeftToRight);
  icons_->setWordWrap(false);
  static_cast<CIconNameDelegate*>(icons_->itemDelegate())->breakAnywhere = false;
  icons_->setGridSize(QSize(16 + font.horizontalAdvance(QString(12, QLatin1Char('M'))) + 16,
                            std::max(20, font.height() + 4)));
  ShowView(icons_, command::kSmallIcons);
}

void CCardListView::OnViewList() {
  icons_->setViewMode(QListView::ListMode);
  icons_->setIconSize(QSize(16, 16));
  icons_->setFlow(QListView::TopToBottom);
  icons_->setWordWrap(false);
  static_cast<CIconNameDelegate*>(icons_->itemDelegate())->breakAnywhere = false;
  icons_->setGridSize(QSize());
  ShowView(icons_, command::kList);
}

// The columns fit the rows, but a width the user set stays (CDetailsColumns).
void CCardListView::OnViewDetails() {
  columns_->Fit();
  ShowView(details_, command::kDetails);
}

// The file menu opens wherever it is asked for, on a row or not; from the
// keyboard (the Menu key, or Shift+F10) it opens 5 pixels in from the list's
// top-left corner.
bool CCardListView::eventFilter(QObject* watched, QEvent* event) {
  bool fromKeyboard = false;
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier) return false;
    fromKeyboard = true;
  } else if (event->type() == QEvent::ContextMenu) {
    fromKeyboard = static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
  } else {
    return QWidget::eventFilter(watched, event);
  }
  auto* view = static_cast<QAbstractItemView*>(GetCurrentView());
  if (!fromKeyboard) {
    emit contextMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  // From the keyboard the menu opens at the selected row, as it would under
  // the mouse there; with none selected, at the list's corner.
  QPoint at(5, 5);
  QModelIndex current = view->currentIndex();
  const QModelIndexList selected = view->selectionModel()->selectedIndexes();
  if (!selected.isEmpty() && !selected.contains(current)) current = selected.constFirst();
  if (!selected.isEmpty()) {
    current = current.siblingAtColumn(0);
    view->scrollTo(current);
    const QRect row = view->visualRect(current);
    at = QPoint(row.left() + 5, row.center().y());
  }
  emit contextMenuRequested(view->viewport()->mapToGlobal(at));
  return true;
}
