#pragma once

#include <QLabel>
#include <QString>

// A pane of the status bar that never cuts a word: a text too long for the
// room it has ends with the last whole word that fits and "…", and the whole
// text shows as its tool tip. It gives way to the panes beside it down to
// nothing, and grows back to its whole text when there is room.
class CStatusPane : public QLabel {
 public:
  explicit CStatusPane(QWidget* parent);

  // The whole text; tip, if given, is the tool tip whether or not the text is cut.
  void SetText(const QString& text, const QString& tip = QString());
  const QString& FullText() const { return text_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowWhatFits();

  QString text_;
  QString tip_;
};
