#pragma once
// The HTML view of the window's three panes: shows a page given as Windows-1251 HTML lines,
// reports link clicks with the href as written and every key press, and never navigates itself.

#include <QTextBrowser>
#include <string>
#include <vector>

#include "htmlview/TableFit.h"

class QMimeData;
class QPrinter;

class ThtmlLite : public QTextBrowser {
  Q_OBJECT

 public:
  // What differs between the three views; fixed at creation.
  struct CSettings {
    bool selectable = true;
    bool plainLinks = false;  // black and not underlined, however the link was used
    bool alwaysShowVerticalScrollBar = false;
    int marginHeight = 5;
    int marginWidth = 5;
  };
  static CSettings ResultView();
  static CSettings VariantsPane();
  static CSettings BookmarksPane();

  explicit ThtmlLite(const CSettings& viewSettings, QWidget* parent = nullptr);

  void LoadStrings(const std::vector<std::string>& lines);
  void SetFontSize(int size);
  void SelectAll();
  void CopyToClipboard();
  // Prints a page as this view would show it, with its fonts and its logo.
  void PrintStrings(const std::vector<std::string>& lines, QPrinter& printer) const;

 signals:
  // A left click on a link, or a link chosen from the keyboard; the view never follows it,
  // whatever `handled` says.
  void HotSpotClick(const QString& href, bool& handled);
  // Every key press, before the view acts on it.
  void KeyDown(int key, bool ctrl);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;
  QVariant loadResource(int type, const QUrl& name) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void ReportLink();
  void FitTables();
  QString SelectedText() const;

  CSettings settings;
  QString releasedOnHref;
  CTableFit tableFit;
};
