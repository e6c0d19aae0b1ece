#pragma once
// What a page may load: the program's own logo and nothing else. Pages carry dictionary texts from
// anywhere; an image, a style sheet or a background they name must never open a file.

#include <QStringList>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

// The resource `name` of `type`: the logo help/telmo.gif from the first of `folders`; for any other
// image one clear pixel, for anything else an empty text, which stops Qt from looking elsewhere.
QVariant ProgramResource(int type, const QUrl& name, const QStringList& folders);

// A page laid out away from the screen (printing), under the same rule.
class CPageDocument : public QTextDocument {
 public:
  explicit CPageDocument(QStringList programFolders) : folders(std::move(programFolders)) {}

 protected:
  QVariant loadResource(int type, const QUrl& name) override { return ProgramResource(type, name, folders); }

 private:
  QStringList folders;
};
