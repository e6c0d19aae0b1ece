#pragma once
// Whether every caption of a window is shown whole: labels, buttons, check boxes, group titles,
// the items of drop-down lists and tabs.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QWidget>
#include <string>
#include <vector>

// The captions of `window` (shown, so that its layout has run) that do not fit the room they have,
// each as "objectName: text".
inline std::vector<std::string> CutCaptions(const QWidget& window) {
  std::vector<std::string> cut;
  const auto report = [&cut](const QWidget& widget, const QString& text) {
    cut.push_back((widget.objectName() + ": " + text).toStdString());
  };
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const int room = label->contentsRect().width() - 2 * label->margin() - 2 * label->indent();
    const bool fits = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                        : label->fontMetrics().horizontalAdvance(label->text()) <= room;
    if (!fits) report(*label, label->text());
  }
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    if (button->width() < button->sizeHint().width()) report(*button, button->text());
  }
  for (const QGroupBox* group : window.findChildren<QGroupBox*>())
    if (group->isVisible() && group->width() < group->fontMetrics().horizontalAdvance(group->title()))
      report(*group, group->title());
  for (const QComboBox* list : window.findChildren<QComboBox*>()) {
    if (!list->isVisible() || list->isEditable()) continue;
    if (list->width() < list->sizeHint().width()) report(*list, list->currentText());
  }
  for (const QTabBar* tabs : window.findChildren<QTabBar*>()) {
    if (!tabs->isVisible()) continue;
    // Every tab inside the part of the bar that its parent shows, with room for its icon and text.
    QRect shown = tabs->rect();
    if (const QWidget* parent = tabs->parentWidget())
      shown &= QRect(tabs->mapFromParent(QPoint(0, 0)), parent->size());
    for (int i = 0; i < tabs->count(); ++i) {
      const QRect tab = tabs->tabRect(i);
      const int needed = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + tabs->iconSize().width();
      if (tab.width() < needed || !shown.contains(tab)) report(*tabs, tabs->tabText(i));
    }
  }
  return cut;
}
