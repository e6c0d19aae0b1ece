#include "app/Modal.h"

#include <QMessageBox>
#include <utility>

#include "app/QtText.h"
#include "dictionary/Messages.h"

namespace {

std::function<void(const CShownMessage&)>& MessageAnswer() {
  static std::function<void(const CShownMessage&)> answer;
  return answer;
}

std::function<int(QDialog&)>& DialogAnswer() {
  static std::function<int(QDialog&)> answer;
  return answer;
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
  if (MessageAnswer()) {
    MessageAnswer()({caption, text});
    return;
  }
  MessageBox(parent, caption, text)->exec();
}

std::unique_ptr<QMessageBox> MessageBox(QWidget* parent, const QString& caption, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, caption, QString(), QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  return box;
}

void ShowMessage(QWidget* parent, const QString& text) {
  ShowMessage(parent, FromCp1251(kProgramTitle), text);
}

CAnsweredMessages::CAnsweredMessages(std::function<void(const CShownMessage&)> answer)
    : previous(std::exchange(MessageAnswer(), std::move(answer))) {}

CAnsweredMessages::~CAnsweredMessages() {
  MessageAnswer() = std::move(previous);
}

int RunModal(QDialog& dialog) {
  if (DialogAnswer()) return DialogAnswer()(dialog);
  return dialog.exec();
}

CAnsweredDialogs::CAnsweredDialogs(std::function<int(QDialog&)> answer)
    : previous(std::exchange(DialogAnswer(), std::move(answer))) {}

CAnsweredDialogs::~CAnsweredDialogs() {
  DialogAnswer() = std::move(previous);
}
