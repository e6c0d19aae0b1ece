#pragma once
// The window shown while the dictionary loads; the load moves its progress bar.

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include "dictionary/Dictionary.h"

class TSplashForm : public QWidget, public CLoadProgress {
  Q_OBJECT

 public:
  explicit TSplashForm(const QString& logoFile);

  void SetRange(int32_t minimum, int32_t maximum) override;
  void SetPosition(int32_t position) override;

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label4;
  QProgressBar* ProgressBar;
};
