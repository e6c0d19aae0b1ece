#pragma once
// Every modal moment of the program goes through here, so that a test can answer it in
// advance; the program itself shows the real Qt dialogs.

#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

struct CShownMessage {
  QString caption;
  QString text;
};

class QMessageBox;

// A message box with a single OK button. The text is shown as plain text, whatever it holds.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text);
// The box that ShowMessage shows, for a look at it before or instead of showing it.
std::unique_ptr<QMessageBox> MessageBox(QWidget* parent, const QString& caption, const QString& text);
// The same, captioned with the program's title, as the program's own reports are.
void ShowMessage(QWidget* parent, const QString& text);

// Tests: while it lives, messages go to `answer` instead of the screen; the answer before it comes back
// when it ends.
class CAnsweredMessages {
 public:
  explicit CAnsweredMessages(std::function<void(const CShownMessage&)> answer);
  ~CAnsweredMessages();
  CAnsweredMessages(const CAnsweredMessages&) = delete;
  CAnsweredMessages& operator=(const CAnsweredMessages&) = delete;

 private:
  std::function<void(const CShownMessage&)> previous;
};

// Shows a dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
int RunModal(QDialog& dialog);

// Tests: while it lives, dialogs go to `answer`, which may change them as a user would and returns
// their result; the answer before it comes back when it ends.
class CAnsweredDialogs {
 public:
  explicit CAnsweredDialogs(std::function<int(QDialog&)> answer);
  ~CAnsweredDialogs();
  CAnsweredDialogs(const CAnsweredDialogs&) = delete;
  CAnsweredDialogs& operator=(const CAnsweredDialogs&) = delete;

 private:
  std::function<int(QDialog&)> previous;
};
