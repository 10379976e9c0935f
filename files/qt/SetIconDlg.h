#pragma once

#include <QDialog>
#include <QImage>

#include "FileCommands.h"
#include "IconMaker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

// Set Icon's preview: the card's two icons as the picture makes them, the
// monochrome one for the card's screen and the colour one for the console's
// file manager, each drawn four times its size. The user moves the
// monochrome icon's threshold (the preview follows), edits the description
// and may leave the colour icon out. The picture is scaled once, as Set
// Icon scales it, so the preview shows exactly what is written.
class CSetIconDlg : public QDialog {
  Q_OBJECT

 public:
  CSetIconDlg(const RgbaPicture& picture, const CardIconChoice& choice, QWidget* parent);
  ~CSetIconDlg() override;

  // What the user chose; the description as typed.
  CardIconChoice Choice() const;
  // The icons shown, 32 x 32.
  const QImage& MonoPreview() const { return monoImage_; }
  const QImage& ColourPreview() const { return colourImage_; }

 private:
  void ShowMono();
  QLabel* MakePreview(const char* name);

  RgbaPicture icon_;
  QImage monoImage_;
  QImage colourImage_;
  QLabel* mono_ = nullptr;
  QLabel* colour_ = nullptr;
  QLabel* thresholdValue_ = nullptr;
  QSlider* threshold_ = nullptr;
  QLineEdit* description_ = nullptr;
  QCheckBox* monoOnly_ = nullptr;
};
