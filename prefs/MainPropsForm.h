#pragma once
// The settings dialog: the display limits, the tray setting and the font sizes.

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>

#include "pages/DisplayLimits.h"
#include "prefs/Prefs.h"

// A whole-number field within fixed limits. While the user types, any text made of digits, signs and
// decimal separators stands; on leaving the field it becomes the nearest number within the limits,
// or the lower limit when it is no whole number.
class CNumberField : public QSpinBox {
  Q_OBJECT

 public:
  CNumberField(const CDisplayLimits& limits, QWidget* parent);

 protected:
  QValidator::State validate(QString& text, int& position) const override;
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool MayHold(const QString& text) const;
  int Corrected(const QString& text) const;
};

class TMainPropsForm : public QDialog {
  Q_OBJECT

 public:
  // `trayAvailable`: whether the desktop has a system tray now.
  TMainPropsForm(QWidget* owner, bool trayAvailable);

  void Fill(const CPrefs& prefs);
  // Reads each field as leaving it would, so text still being typed counts too.
  void TakeInto(CPrefs& prefs);

  CNumberField* MaxVariantDisplayCountSpin;
  CNumberField* MaxResultDisplayCountSpin;
  QCheckBox* TrayCheckBox;
  QCheckBox* FoldYoCheckBox;
  QCheckBox* KeepPagesCheckBox;
  CNumberField* VariantsFontSizeSpin;
  CNumberField* ResultsFontSizeSpin;
  QPushButton* OkBitBtn;
  QPushButton* CancelBitBtn;
};
