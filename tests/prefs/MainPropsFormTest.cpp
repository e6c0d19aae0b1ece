// The settings dialog as the user meets it: shown and active on the offscreen platform, typed into
// with keys, left with Tab.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <string>
#include <tuple>

#include "prefs/MainPropsForm.h"
#include "tests/support/TextsFit.h"

namespace {

const QString kTrayHint = QString::fromUtf8(
    "Если данный флажок установлен, окно словаря будет сворачиваться в значок в правой части панели "
    "задач. Чтобы развернуть окно, щелкните по данному значку.");

// Every field of the preferences, so that a failure shows them all.
auto Fields(const CPrefs& prefs) {
  return std::tuple(prefs.MaxVariantDisplayCount, prefs.MaxResultDisplayCount, prefs.SearchFullWords,
                    prefs.SearchExact, prefs.MinToTray, prefs.Autorun, prefs.RunMinimized,
                    prefs.VariantsFontSize, prefs.ResultsFontSize, prefs.FoldYo);
}

CPrefs Prefs(int32_t variants, int32_t results, bool tray, int32_t variantsFont, int32_t resultsFont) {
  CPrefs prefs;
  prefs.MaxVariantDisplayCount = variants;
  prefs.MaxResultDisplayCount = results;
  prefs.MinToTray = tray;
  prefs.VariantsFontSize = variantsFont;
  prefs.ResultsFontSize = resultsFont;
  return prefs;
}

// Shown and active, so that the focus moves between its controls as it does for a user.
void Show(TMainPropsForm& form) {
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

// Into the field and over its whole text, as a user replaces it; the field keeps the focus.
void Type(CNumberField* field, const QString& text) {
  field->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(field->hasFocus());
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  QTest::keyClicks(field, text);
}

void Leave(CNumberField* field) {
  QTest::keyClick(field, Qt::Key_Tab);
  ASSERT_FALSE(field->hasFocus());
}

class MainPropsFormTest : public testing::Test {
 protected:
  void SetUp() override { Show(form); }

  CNumberField* Field(const char* name) {
    auto* field = form.findChild<CNumberField*>(name);
    EXPECT_NE(field, nullptr) << name;
    return field;
  }

  TMainPropsForm form{nullptr, true};
};

TEST_F(MainPropsFormTest, ShowsItsCaptionsButtonsAndLimits) {
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Настройки программы"));
  EXPECT_EQ(form.font(), QApplication::font());

  const struct {
    const char* name;
    const char* property;
    QString text;
  } captions[] = {
      {"SearchGroupBox", "title", " Параметры поиска "},
      {"MaxVariantDisplayCountLabel", "text", "Максимальное количество отображаемых вариантов (10 - 200): "},
      {"MaxResultDisplayCountLabel", "text",
       "Максимальное количество отображаемых результатов поиска (10 - 500):"},
      {"InterfaceGroupBox", "title", " Параметры интерфейса "},
      {"TrayCheckBox", "text", "Сворачивать окно в трей"},
      {"TrayHintLabel", "text", kTrayHint},
      {"VariantsFontSizeLabel", "text", "Размер шрифта вариантов:"},
      {"ResultsFontSizeLabel", "text", "Размер шрифта результатов поиска:"},
      {"OkBitBtn", "text", "Принять"},
      {"CancelBitBtn", "text", "Отмена"},
  };
  for (const auto& caption : captions) {
    const auto* control = form.findChild<QWidget*>(caption.name);
    ASSERT_NE(control, nullptr) << caption.name;
    EXPECT_EQ(control->property(caption.property).toString(), caption.text) << caption.name;
  }

  const struct {
    const char* name;
    QWidget* member;
  } members[] = {
      {"MaxVariantDisplayCountSpin", form.MaxVariantDisplayCountSpin},
      {"MaxResultDisplayCountSpin", form.MaxResultDisplayCountSpin},
      {"TrayCheckBox", form.TrayCheckBox},
      {"VariantsFontSizeSpin", form.VariantsFontSizeSpin},
      {"ResultsFontSizeSpin", form.ResultsFontSizeSpin},
      {"OkBitBtn", form.OkBitBtn},
      {"CancelBitBtn", form.CancelBitBtn},
  };
  for (const auto& member : members) EXPECT_EQ(form.findChild<QWidget*>(member.name), member.member);

  const struct {
    const char* name;
    int minimum;
    int maximum;
  } limits[] = {
      {"MaxVariantDisplayCountSpin", 10, 200},
      {"MaxResultDisplayCountSpin", 10, 500},
      {"VariantsFontSizeSpin", 1, 100},
      {"ResultsFontSizeSpin", 1, 100},
  };
  for (const auto& limit : limits) {
    const CNumberField* field = Field(limit.name);
    EXPECT_EQ(field->minimum(), limit.minimum) << limit.name;
    EXPECT_EQ(field->maximum(), limit.maximum) << limit.name;
    EXPECT_EQ(field->singleStep(), 1) << limit.name;
  }

  EXPECT_TRUE(form.OkBitBtn->isDefault());
  EXPECT_FALSE(form.CancelBitBtn->isDefault());
}

// The designed size where the texts fit it, as with the test platform's font and a tray; taller,
// never cut short, where they need more.
TEST(MainPropsFormLayoutTest, ShowsEveryTextWholeWithTheFieldsAtTheRight) {
  for (const bool trayAvailable : {true, false}) {
    SCOPED_TRACE(trayAvailable);
    TMainPropsForm form(nullptr, trayAvailable);
    Show(form);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_GE(form.width(), 357);
    EXPECT_GE(form.height(), 324);
    EXPECT_EQ(CutCaptions(form), std::vector<std::string>());
    for (const QWidget* control : form.findChildren<QWidget*>()) {
      const QRect area(control->mapTo(&form, QPoint(0, 0)), control->size());
      EXPECT_TRUE(form.rect().contains(area)) << control->objectName().toStdString();
    }
    for (const QLabel* label : form.findChildren<QLabel*>()) {
      if (const QWidget* field = label->buddy()) {
        // A count's caption reads as one line, its limits never broken apart.
        EXPECT_FALSE(label->wordWrap()) << label->objectName().toStdString();
        EXPECT_GT(field->mapTo(&form, QPoint(0, 0)).x(), label->mapTo(&form, QPoint(label->width(), 0)).x())
            << label->objectName().toStdString();
        EXPECT_EQ(field->width(), 60);
      }
    }
  }
}

TEST(MainPropsFormOwnedTest, OpensCentredOverItsOwner) {
  QWidget owner;
  owner.setGeometry(100, 80, 800, 600);
  owner.show();
  TMainPropsForm form(&owner, true);
  form.show();
  const QPoint offset = form.frameGeometry().center() - owner.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(MainPropsFormTest, FillSetsEachControlClampingTheFields) {
  const struct {
    CPrefs prefs;
    int variants, results;
    bool tray;
    int variantsFont, resultsFont;
  } cases[] = {
      {CPrefs(), 100, 300, false, 9, 9},
      {Prefs(37, 451, true, 12, 24), 37, 451, true, 12, 24},
      {Prefs(10, 500, false, 1, 100), 10, 500, false, 1, 100},
      {Prefs(200, 10, true, 0, 300), 200, 10, true, 1, 100},
      {Prefs(5, 9999, false, -4, 101), 10, 500, false, 1, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(Fields(c.prefs)));
    form.Fill(c.prefs);
    EXPECT_EQ(form.MaxVariantDisplayCountSpin->value(), c.variants);
    EXPECT_EQ(form.MaxResultDisplayCountSpin->value(), c.results);
    EXPECT_EQ(form.TrayCheckBox->isChecked(), c.tray);
    EXPECT_EQ(form.VariantsFontSizeSpin->value(), c.variantsFont);
    EXPECT_EQ(form.ResultsFontSizeSpin->value(), c.resultsFont);
    EXPECT_EQ(form.MaxVariantDisplayCountSpin->text(), QString::number(c.variants));
    EXPECT_EQ(form.ResultsFontSizeSpin->text(), QString::number(c.resultsFont));
  }
}

TEST_F(MainPropsFormTest, TakeIntoReadsEachControlAndKeepsTheOtherPreferences) {
  const auto flags = [](CPrefs prefs, bool fullWords, bool exact, bool autorun, bool minimized) {
    prefs.SearchFullWords = fullWords;
    prefs.SearchExact = exact;
    prefs.Autorun = autorun;
    prefs.RunMinimized = minimized;
    return prefs;
  };
  const struct {
    CPrefs before;
    CPrefs shown;  // what the controls hold
    CPrefs after;
  } cases[] = {
      {flags(CPrefs(), true, true, true, true), Prefs(10, 500, true, 1, 100),
       flags(Prefs(10, 500, true, 1, 100), true, true, true, true)},
      {flags(Prefs(0, 9999, true, 0, 300), false, false, false, false), Prefs(200, 10, false, 55, 7),
       flags(Prefs(200, 10, false, 55, 7), false, false, false, false)},
      {flags(Prefs(37, 451, false, 12, 24), true, false, true, false), Prefs(37, 451, false, 12, 24),
       flags(Prefs(37, 451, false, 12, 24), true, false, true, false)},
      {flags(CPrefs(), false, true, false, true), Prefs(11, 499, true, 2, 99),
       flags(Prefs(11, 499, true, 2, 99), false, true, false, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(Fields(c.before)));
    form.MaxVariantDisplayCountSpin->setValue(c.shown.MaxVariantDisplayCount);
    form.MaxResultDisplayCountSpin->setValue(c.shown.MaxResultDisplayCount);
    form.TrayCheckBox->setChecked(c.shown.MinToTray);
    form.VariantsFontSizeSpin->setValue(c.shown.VariantsFontSize);
    form.ResultsFontSizeSpin->setValue(c.shown.ResultsFontSize);
    CPrefs prefs = c.before;
    form.TakeInto(prefs);
    EXPECT_EQ(Fields(prefs), Fields(c.after));
  }
}

TEST_F(MainPropsFormTest, FillThenTakeIntoChangesNothing) {
  CPrefs prefs = Prefs(37, 451, true, 12, 24);
  prefs.SearchExact = true;
  prefs.RunMinimized = true;
  form.Fill(prefs);
  CPrefs taken = prefs;
  form.TakeInto(taken);
  EXPECT_EQ(Fields(taken), Fields(prefs));
}

TEST_F(MainPropsFormTest, LeavingAFieldCorrectsWhatWasTyped) {
  const struct {
    const char* field;
    const char* typed;
    int shown;
  } cases[] = {
      {"MaxVariantDisplayCountSpin", "5", 10},
      {"MaxVariantDisplayCountSpin", "1000", 200},
      {"MaxVariantDisplayCountSpin", "", 10},
      {"MaxVariantDisplayCountSpin", "1.5", 10},
      {"MaxVariantDisplayCountSpin", "+50", 50},
      {"MaxVariantDisplayCountSpin", "-3", 10},
      {"MaxVariantDisplayCountSpin", "+", 10},
      {"MaxVariantDisplayCountSpin", "-", 10},
      {"MaxVariantDisplayCountSpin", "--3", 10},
      {"MaxVariantDisplayCountSpin", "3-", 10},
      {"MaxVariantDisplayCountSpin", "007", 10},
      {"MaxVariantDisplayCountSpin", "0150", 150},
      {"MaxVariantDisplayCountSpin", "99999999999999999999", 200},
      {"MaxVariantDisplayCountSpin", "-99999999999999999999", 10},
      {"MaxVariantDisplayCountSpin", "123", 123},
      {"MaxResultDisplayCountSpin", "", 10},
      {"MaxResultDisplayCountSpin", "501", 500},
      {"MaxResultDisplayCountSpin", "250", 250},
      {"VariantsFontSizeSpin", "0", 1},
      {"VariantsFontSizeSpin", "", 1},
      {"ResultsFontSizeSpin", "101", 100},
      {"ResultsFontSizeSpin", "14", 14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " \"" + c.typed + "\"");
    CNumberField* field = Field(c.field);
    Type(field, c.typed);
    EXPECT_EQ(field->text(), QString(c.typed));  // anything made of number characters stands meanwhile
    Leave(field);
    EXPECT_EQ(field->text(), QString::number(c.shown));
    EXPECT_EQ(field->value(), c.shown);
  }
}

TEST_F(MainPropsFormTest, TypingTakesOnlyNumberCharacters) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  const struct {
    QLocale locale;
    const char* typed;
    const char* shown;
  } cases[] = {
      {english, "7a", "7"},    {english, "7!", "7"},    {english, "7 x", "7"},   {english, "a", ""},
      {english, "7,5", "75"},  {english, "7.5", "7.5"}, {english, "+-7", "+-7"}, {russian, "7,5", "7,5"},
      {russian, "7.5", "7.5"}, {russian, "7e5", "75"},
  };
  CNumberField* field = form.MaxVariantDisplayCountSpin;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale.name().toStdString() + " \"" + c.typed + "\"");
    field->setLocale(c.locale);
    Type(field, c.typed);
    EXPECT_EQ(field->text(), QString(c.shown));
  }
}

TEST_F(MainPropsFormTest, RefusedCharactersLeaveTheTextAndShortcutsStillWork) {
  CNumberField* field = form.MaxVariantDisplayCountSpin;
  field->setValue(50);
  field->setFocus(Qt::TabFocusReason);
  field->selectAll();
  QTest::keyClicks(field, "a!");
  EXPECT_EQ(field->text(), "50");
  EXPECT_EQ(field->value(), 50);

  QTest::keyClick(field, Qt::Key_End);
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // carries the text "a" here
  QTest::keyClicks(field, "7");
  EXPECT_EQ(field->text(), "7");
}

TEST_F(MainPropsFormTest, ArrowKeysAndButtonsStepByOneWithinTheLimits) {
  const struct {
    const char* field;
    int start;
    Qt::Key key;
    bool button;  // the button at the field's right edge instead of the key
    int presses;
    int shown;
  } cases[] = {
      {"MaxVariantDisplayCountSpin", 50, Qt::Key_Up, false, 1, 51},
      {"MaxVariantDisplayCountSpin", 199, Qt::Key_Up, false, 3, 200},
      {"MaxVariantDisplayCountSpin", 11, Qt::Key_Down, false, 3, 10},
      {"MaxResultDisplayCountSpin", 499, Qt::Key_Up, false, 2, 500},
      {"MaxResultDisplayCountSpin", 300, Qt::Key_Down, false, 2, 298},
      {"VariantsFontSizeSpin", 2, Qt::Key_Down, false, 5, 1},
      {"ResultsFontSizeSpin", 99, Qt::Key_Up, false, 5, 100},
      {"MaxVariantDisplayCountSpin", 198, Qt::Key_Up, true, 1, 199},
      {"MaxVariantDisplayCountSpin", 199, Qt::Key_Up, true, 3, 200},
      {"MaxResultDisplayCountSpin", 12, Qt::Key_Down, true, 1, 11},
      {"VariantsFontSizeSpin", 2, Qt::Key_Down, true, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " from " + std::to_string(c.start) + (c.button ? " by button" : ""));
    CNumberField* field = Field(c.field);
    field->setValue(c.start);
    field->setFocus(Qt::TabFocusReason);
    const QPoint button(field->width() - 4, c.key == Qt::Key_Up ? 4 : field->height() - 4);
    for (int i = 0; i < c.presses; ++i) {
      if (c.button)
        QTest::mouseClick(field, Qt::LeftButton, {}, button);
      else
        QTest::keyClick(field, c.key);
    }
    EXPECT_EQ(field->value(), c.shown);
    EXPECT_EQ(field->text(), QString::number(c.shown));
  }
}

TEST(MainPropsFormClosingTest, ButtonsKeysAndFrameCloseWithTheirResult) {
  const struct {
    const char* action;
    std::function<void(TMainPropsForm&)> close;
    int result;
  } cases[] = {
      {"click Принять", [](TMainPropsForm& form) { QTest::mouseClick(form.OkBitBtn, Qt::LeftButton); },
       QDialog::Accepted},
      {"Enter in a field",
       [](TMainPropsForm& form) { QTest::keyClick(form.MaxResultDisplayCountSpin, Qt::Key_Return); },
       QDialog::Accepted},
      {"click Отмена", [](TMainPropsForm& form) { QTest::mouseClick(form.CancelBitBtn, Qt::LeftButton); },
       QDialog::Rejected},
      {"Esc in a field",
       [](TMainPropsForm& form) { QTest::keyClick(form.MaxResultDisplayCountSpin, Qt::Key_Escape); },
       QDialog::Rejected},
      {"close by the frame", [](TMainPropsForm& form) { form.close(); }, QDialog::Rejected},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    TMainPropsForm form(nullptr, true);
    Show(form);
    form.MaxResultDisplayCountSpin->setFocus(Qt::TabFocusReason);
    QSignalSpy finished(&form, &QDialog::finished);
    c.close(form);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.front().front().toInt(), c.result);
    EXPECT_EQ(form.result(), c.result);
    EXPECT_FALSE(form.isVisible());
  }
}

TEST_F(MainPropsFormTest, TakeIntoCorrectsTextStillInItsField) {
  const struct {
    const char* field;
    const char* typed;
    int32_t CPrefs::*preference;
    int32_t taken;
  } cases[] = {
      {"MaxVariantDisplayCountSpin", "5", &CPrefs::MaxVariantDisplayCount, 10},
      {"MaxVariantDisplayCountSpin", "", &CPrefs::MaxVariantDisplayCount, 10},
      {"MaxVariantDisplayCountSpin", "+42", &CPrefs::MaxVariantDisplayCount, 42},
      {"MaxResultDisplayCountSpin", "1000", &CPrefs::MaxResultDisplayCount, 500},
      {"VariantsFontSizeSpin", "0", &CPrefs::VariantsFontSize, 1},
      {"ResultsFontSizeSpin", "250", &CPrefs::ResultsFontSize, 100},
      {"ResultsFontSizeSpin", "1.5", &CPrefs::ResultsFontSize, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " \"" + c.typed + "\"");
    form.Fill(CPrefs());
    Type(Field(c.field), c.typed);
    CPrefs prefs;
    form.TakeInto(prefs);
    EXPECT_EQ(prefs.*c.preference, c.taken);
  }
}

TEST(MainPropsFormTrayTest, HintSaysWhenTheDesktopHasNoTray) {
  const struct {
    bool trayAvailable;
    QString hint;
  } cases[] = {
      {true, kTrayHint},
      {false, kTrayHint + QString::fromUtf8(" Сейчас область уведомлений недоступна: окно будет "
                                            "сворачиваться на панель задач.")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trayAvailable);
    const TMainPropsForm form(nullptr, c.trayAvailable);
    EXPECT_EQ(form.findChild<QLabel*>("TrayHintLabel")->text(), c.hint);
    EXPECT_TRUE(form.TrayCheckBox->isEnabled());
  }
}

}  // namespace
