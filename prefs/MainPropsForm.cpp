#include "prefs/MainPropsForm.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace {

// The whole number in `text`, one sign allowed ("+7" is 7); nothing for any other text. Numbers too
// large for any limit stop growing, so that they still clamp to the right end.
std::optional<qlonglong> WholeNumber(const QString& text) {
  const bool negative = text.startsWith(u'-');
  const QStringView digits = QStringView(text).mid(negative || text.startsWith(u'+') ? 1 : 0);
  if (digits.isEmpty()) return std::nullopt;
  constexpr qlonglong kBeyondAnyLimit = 1'000'000'000'000;
  qlonglong number = 0;
  for (const QChar c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    number = std::min(number * 10 + (c.unicode() - u'0'), kBeyondAnyLimit);
  }
  return negative ? -number : number;
}

// A key that types its text, as opposed to a shortcut (Ctrl with a letter carries the letter on some
// platforms; AltGr arrives as Ctrl+Alt and types).
bool Types(const QKeyEvent& event) {
  const Qt::KeyboardModifiers chord = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  return !event.text().isEmpty() && event.text().front().isPrint() && chord != Qt::ControlModifier;
}

constexpr int kWidth = 357;
constexpr int kHeight = 324;
constexpr int kFieldWidth = 60;

// The texts are long for the dialog's design size, so margins and gaps are kept small.
QGridLayout* NewGroupGrid(QGroupBox* group) {
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setVerticalSpacing(4);
  grid->setColumnStretch(0, 1);  // the captions take what the fields leave
  return grid;
}

void AddFieldRow(QGridLayout& grid, int row, const char* labelName, const char* caption,
                 CNumberField* field) {
  // One line each: a caption broken inside "(10 - 500)" no longer reads as one.
  auto* label = new QLabel(QString::fromUtf8(caption));
  label->setObjectName(labelName);
  label->setBuddy(field);
  field->setFixedWidth(kFieldWidth);
  grid.addWidget(label, row, 0);
  grid.addWidget(field, row, 1, Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace

CNumberField::CNumberField(const CDisplayLimits& limits, QWidget* parent) : QSpinBox(parent) {
  setRange(limits.minimum, limits.maximum);
}

QValidator::State CNumberField::validate(QString& text, int&) const {
  if (!MayHold(text)) return QValidator::Invalid;
  const std::optional<qlonglong> number = WholeNumber(text);
  return number && *number >= minimum() && *number <= maximum() ? QValidator::Acceptable
                                                                : QValidator::Intermediate;
}

void CNumberField::fixup(QString& text) const {
  text = textFromValue(Corrected(text));
}

int CNumberField::valueFromText(const QString& text) const {
  return Corrected(text);
}

// Plain digits whatever the locale, the only digits the field lets the user type.
QString CNumberField::textFromValue(int value) const {
  return QString::number(value);
}

void CNumberField::keyPressEvent(QKeyEvent* event) {
  if (Types(*event) && !MayHold(event->text())) {
    QApplication::beep();
    event->accept();
    return;
  }
  QSpinBox::keyPressEvent(event);
}

bool CNumberField::MayHold(const QString& text) const {
  const QString separator = locale().decimalPoint();
  return std::all_of(text.begin(), text.end(), [&](QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || separator.contains(c);
  });
}

int CNumberField::Corrected(const QString& text) const {
  const std::optional<qlonglong> number = WholeNumber(text);
  return number ? static_cast<int>(std::clamp<qlonglong>(*number, minimum(), maximum())) : minimum();
}

TMainPropsForm::TMainPropsForm(QWidget* owner, bool trayAvailable) : QDialog(owner) {
  setObjectName("MainPropsForm");
  setWindowTitle(QString::fromUtf8("Настройки программы"));

  auto* searchGroup = new QGroupBox(QString::fromUtf8(" Параметры поиска "), this);
  searchGroup->setObjectName("SearchGroupBox");
  MaxVariantDisplayCountSpin = new CNumberField(kVariantCountLimits, searchGroup);
  MaxVariantDisplayCountSpin->setObjectName("MaxVariantDisplayCountSpin");
  MaxResultDisplayCountSpin = new CNumberField(kResultCountLimits, searchGroup);
  MaxResultDisplayCountSpin->setObjectName("MaxResultDisplayCountSpin");
  QGridLayout* searchGrid = NewGroupGrid(searchGroup);
  AddFieldRow(*searchGrid, 0, "MaxVariantDisplayCountLabel",
              "Максимальное количество отображаемых вариантов (10 - 200): ", MaxVariantDisplayCountSpin);
  AddFieldRow(
      *searchGrid, 1, "MaxResultDisplayCountLabel",
      "Максимальное количество отображаемых результатов поиска (10 - 500):", MaxResultDisplayCountSpin);
  FoldYoCheckBox = new QCheckBox(QString::fromUtf8("Не различать буквы е и ё"), searchGroup);
  FoldYoCheckBox->setObjectName("FoldYoCheckBox");
  searchGrid->addWidget(FoldYoCheckBox, 2, 0, 1, 2);

  auto* interfaceGroup = new QGroupBox(QString::fromUtf8(" Параметры интерфейса "), this);
  interfaceGroup->setObjectName("InterfaceGroupBox");
  TrayCheckBox = new QCheckBox(QString::fromUtf8("Сворачивать окно в трей"), interfaceGroup);
  TrayCheckBox->setObjectName("TrayCheckBox");
  VariantsFontSizeSpin = new CNumberField(kFontSizeLimits, interfaceGroup);
  VariantsFontSizeSpin->setObjectName("VariantsFontSizeSpin");
  ResultsFontSizeSpin = new CNumberField(kFontSizeLimits, interfaceGroup);
  ResultsFontSizeSpin->setObjectName("ResultsFontSizeSpin");
  QString trayHint = QString::fromUtf8(
      "Если данный флажок установлен, окно словаря будет сворачиваться в значок в правой части панели "
      "задач. Чтобы развернуть окно, щелкните по данному значку.");
  // The setting is kept for a desktop that has a tray; meanwhile the user learns why nothing happens.
  if (!trayAvailable)
    trayHint += QString::fromUtf8(
        " Сейчас область уведомлений недоступна: окно будет сворачиваться на панель задач.");
  auto* trayHintLabel = new QLabel(trayHint, interfaceGroup);
  trayHintLabel->setObjectName("TrayHintLabel");
  trayHintLabel->setWordWrap(true);
  QGridLayout* interfaceGrid = NewGroupGrid(interfaceGroup);
  interfaceGrid->addWidget(TrayCheckBox, 0, 0, 1, 2);
  interfaceGrid->addWidget(trayHintLabel, 1, 0, 1, 2);
  AddFieldRow(*interfaceGrid, 2, "VariantsFontSizeLabel", "Размер шрифта вариантов:", VariantsFontSizeSpin);
  AddFieldRow(*interfaceGrid, 3, "ResultsFontSizeLabel",
              "Размер шрифта результатов поиска:", ResultsFontSizeSpin);
  KeepPagesCheckBox =
      new QCheckBox(QString::fromUtf8("Сохранять закладки и историю между запусками"), interfaceGroup);
  KeepPagesCheckBox->setObjectName("KeepPagesCheckBox");
  interfaceGrid->addWidget(KeepPagesCheckBox, 4, 0, 1, 2);

  OkBitBtn = new QPushButton(QString::fromUtf8("Принять"), this);
  OkBitBtn->setObjectName("OkBitBtn");
  OkBitBtn->setDefault(true);
  connect(OkBitBtn, &QPushButton::clicked, this, &QDialog::accept);
  CancelBitBtn = new QPushButton(QString::fromUtf8("Отмена"), this);
  CancelBitBtn->setObjectName("CancelBitBtn");
  connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(OkBitBtn);
  buttonRow->addWidget(CancelBitBtn);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  layout->addWidget(searchGroup);
  layout->addWidget(interfaceGroup);
  layout->addStretch();
  layout->addLayout(buttonRow);
  // Wider and taller than designed only where the desktop's font needs it, rather than cut a text short.
  const int width = std::max(kWidth, minimumSizeHint().width());
  setFixedSize(width, std::max(kHeight, heightForWidth(width)));
}

void TMainPropsForm::Fill(const CPrefs& prefs) {
  MaxVariantDisplayCountSpin->setValue(prefs.MaxVariantDisplayCount);
  MaxResultDisplayCountSpin->setValue(prefs.MaxResultDisplayCount);
  TrayCheckBox->setChecked(prefs.MinToTray);
  FoldYoCheckBox->setChecked(prefs.FoldYo);
  KeepPagesCheckBox->setChecked(prefs.KeepPages);
  VariantsFontSizeSpin->setValue(prefs.VariantsFontSize);
  ResultsFontSizeSpin->setValue(prefs.ResultsFontSize);
}

void TMainPropsForm::TakeInto(CPrefs& prefs) {
  for (CNumberField* field :
       {MaxVariantDisplayCountSpin, MaxResultDisplayCountSpin, VariantsFontSizeSpin, ResultsFontSizeSpin})
    field->interpretText();
  prefs.MinToTray = TrayCheckBox->isChecked();
  prefs.MaxVariantDisplayCount = MaxVariantDisplayCountSpin->value();
  prefs.CheckLimits();
  prefs.MaxResultDisplayCount = MaxResultDisplayCountSpin->value();
  prefs.CheckLimits();
  prefs.VariantsFontSize = VariantsFontSizeSpin->value();
  prefs.ResultsFontSize = ResultsFontSizeSpin->value();
  prefs.FoldYo = FoldYoCheckBox->isChecked();
  prefs.KeepPages = KeepPagesCheckBox->isChecked();
}
