#include "app/SplashForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <algorithm>

#include "app/QtText.h"
#include "dictionary/Messages.h"

namespace {

constexpr int kWidth = 290;
constexpr int kHeight = 154;

}  // namespace

TSplashForm::TSplashForm(const QString& logoFile)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("SplashForm");
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto* logo = new QLabel(this);
  logo->setObjectName("Image1");
  logo->setPixmap(QPixmap(logoFile));
  logo->setFixedSize(81, 69);

  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  QFont titleFont = Label1->font();
  titleFont.setBold(true);
  titleFont.setPointSize(titleFont.pointSize() + 3);
  Label1->setFont(titleFont);
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  auto* versionCaption = new QLabel(QString::fromUtf8("Версия:"), this);
  Label4 = new QLabel(this);
  Label4->setObjectName("Label4");
  auto* wait = new QLabel(QString::fromUtf8("Пожалуйста подождите, идет загрузка словаря..."), this);

  auto* progressPanel = new QWidget(this);
  progressPanel->setMinimumWidth(273);
  progressPanel->setFixedHeight(21);
  ProgressBar = new QProgressBar(progressPanel);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setTextVisible(false);
  auto* progressLayout = new QHBoxLayout(progressPanel);
  progressLayout->setContentsMargins(0, 0, 0, 0);
  progressLayout->addWidget(ProgressBar);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(logo, 0, 0, 3, 1);
  layout->addWidget(Label1, 0, 1, 1, 2);
  layout->addWidget(Label2, 1, 1, 1, 2);
  layout->addWidget(versionCaption, 2, 1);
  layout->addWidget(Label4, 2, 2);
  layout->addWidget(wait, 3, 0, 1, 3);
  layout->addWidget(progressPanel, 4, 0, 1, 3);
  layout->setColumnStretch(2, 1);

  setWindowTitle(FromCp1251(kProgramTitle));
  Label1->setText(FromCp1251(kProgramTitle));
  Label2->setText(QString::fromLatin1(kProductName.data(), static_cast<qsizetype>(kProductName.size())));
  Label4->setText(
      QString::fromLatin1(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
  // The design size, or larger where the desktop's font needs more room for the texts.
  const QSize needed = layout->totalMinimumSize();
  setFixedSize(std::max(kWidth, needed.width()), std::max(kHeight, needed.height()));
  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::Box);
  bevel->setFrameShadow(QFrame::Raised);
  bevel->setGeometry(rect());
  bevel->lower();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void TSplashForm::SetRange(int32_t minimum, int32_t maximum) {
  ProgressBar->setRange(minimum, maximum);
}

void TSplashForm::SetPosition(int32_t position) {
  ProgressBar->setValue(position);
  // The load blocks the event loop: paint now, or the splash shows nothing until it ends.
  repaint();
}
