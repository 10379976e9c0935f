#include "DetailsColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QSettings>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <numeric>

namespace {
const QString kWidthsKey = QStringLiteral("View/ColumnWidths");
constexpr int kNameCharacters = 12;  // a card file's name at its longest
constexpr int kNarrowestFitted = 4;  // characters a fitted column keeps at the least

int CharactersWide(const QWidget* widget, int characters) {
  return widget->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('M')));
}

// The largest width cap such that the columns, none wider than it, take at
// most budget; never below floor.
int Cap(const std::vector<int>& widths, int budget, int floor) {
  const auto total = [&widths](int cap) {
    return std::accumulate(widths.begin(), widths.end(), 0,
                           [cap](int sum, int width) { return sum + std::min(width, cap); });
  };
  int low = floor;
  int high = *std::max_element(widths.begin(), widths.end());
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (total(middle) <= budget) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}
}  // namespace

CDetailsColumns::CDetailsColumns(QTreeView* view, const Widths& startWidths)
    : QObject(view), view_(view), startWidths_(startWidths) {
  QAbstractItemModel* model = view_->model();
  for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(model, signal, this, &CDetailsColumns::FitLater);
  }
  connect(model, &QAbstractItemModel::dataChanged, this, &CDetailsColumns::FitLater);
  connect(model, &QAbstractItemModel::modelReset, this, &CDetailsColumns::FitLater);
  connect(view_->header(), &QHeaderView::sectionResized, this,
          [this](int column, int, int newWidth) { OnSectionResized(column, newWidth); });
  view_->viewport()->installEventFilter(this);
}

void CDetailsColumns::KeepIn(QSettings* settings) {
  settings_ = settings;
  if (settings_ == nullptr) return;
  const QVariantList stored = settings_->value(kWidthsKey).toList();
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    const int width =
        static_cast<int>(column) < stored.size() ? stored[static_cast<int>(column)].toInt() : 0;
    userWidths_[column] = std::max(width, 0);
  }
  Fit();
}

void CDetailsColumns::Fit() {
  fitPending_ = false;
  const bool rows = view_->model()->rowCount() > 0;
  Widths widths{};
  std::vector<int> fitted;  // the widths that may give up some to fit the view
  int fixed = 0;
  for (std::size_t column = 0; column < kFileColumnCount; ++column) {
    const int section = static_cast<int>(column);
    if (userWidths_[column] > 0) {
      widths[column] = userWidths_[column];
    } else if (!rows) {
      widths[column] = startWidths_[column];
    } else {
      // QTreeView's own measure, which QAbstractItemView makes public.
      const QAbstractItemView* view = view_;
      widths[column] =
          std::max(view->sizeHintForColumn(section), view_->header()->sectionSizeHint(section));
    }
    if (column == static_cast<std::size_t>(FileColumn::FileName) && userWidths_[column] == 0) {
      widths[column] = std::max(widths[column],
                                view_->iconSize().width() + CharactersWide(view_, kNameCharacters));
    }
    if (rows && userWidths_[column] == 0 && column != 0) {
      fitted.push_back(widths[column]);
    } else {
      fixed += widths[column];
    }
  }
  if (!fitted.empty()) {
    const int cap =
        Cap(fitted, view_->viewport()->width() - fixed, CharactersWide(view_, kNarrowestFitted));
    for (std::size_t column = 1; column < kFileColumnCount; ++column) {
      if (userWidths_[column] == 0) widths[column] = std::min(widths[column], cap);
    }
  }
  fitting_ = true;
  for (std::size_t column = 0; column < kFileColumnCount; ++column)
    view_->setColumnWidth(static_cast<int>(column), widths[column]);
  fitting_ = false;
}

// The rows of a Refresh come one by one: the columns are fitted once the
// program is idle again, not for each row.
void CDetailsColumns::FitLater() {
  if (fitPending_) return;
  fitPending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (fitPending_) Fit();
  });
}

void CDetailsColumns::OnSectionResized(int column, int newWidth) {
  if (fitting_ || column < 0 || column >= static_cast<int>(kFileColumnCount) || newWidth <= 0) {
    return;
  }
  userWidths_[static_cast<std::size_t>(column)] = newWidth;
  if (settings_ == nullptr) return;
  QVariantList stored;
  for (const int width : userWidths_)
    stored.append(width);
  settings_->setValue(kWidthsKey, stored);
}

bool CDetailsColumns::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && watched == view_->viewport()) FitLater();
  return QObject::eventFilter(watched, event);
}
