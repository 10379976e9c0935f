#pragma once

#include <QObject>
#include <array>

#include "FileTexts.h"

class QSettings;
class QTreeView;

// The Details view's column widths. Each column is as wide as its contents
// (Filename as its longest name, and never narrower than 12 characters) and
// all of them fit the view where they can: the widest give up width first.
// The columns are fitted again once the rows have changed, and when the view
// is resized. A column whose edge the user dragged keeps that width from
// then on, and so does it in the next session when settings are given.
// Without rows, a column starts at its given width.
class CDetailsColumns : public QObject {
 public:
  using Widths = std::array<int, kFileColumnCount>;

  CDetailsColumns(QTreeView* view, const Widths& startWidths);

  // The user's widths are read from the settings, and kept there when they change.
  void KeepIn(QSettings* settings);
  void Fit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitLater();
  void OnSectionResized(int column, int newWidth);

  QTreeView* view_;
  Widths startWidths_;
  Widths userWidths_{};  // 0: fitted to the contents
  QSettings* settings_ = nullptr;
  bool fitting_ = false;
  bool fitPending_ = false;
};
