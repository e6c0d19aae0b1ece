#pragma once
// Pages leaving the program as files: the one the user names in the save dialog, and the one
// handed to the browser.

#include <QFileDialog>
#include <QString>
#include <string>

// The name the save dialog proposes for a page: its label without dots, and without slashes,
// which no file name can hold, and at most 100 characters of it.
QString ProposedFileName(const QString& label);

// Prepares the page save dialog: its title, filters, default suffix and proposed name.
void SetUpPageSaveDialog(QFileDialog& dialog, const QString& proposedName);

// Writes `bytes` to `path` whole or not at all: an existing file survives a failed write.
// Returns an empty text, or why the file could not be written.
QString WritePageFile(const QString& path, const std::string& bytes);

// Writes `bytes` as a new file that takes the name `path`, replacing what has the name (a file, or a
// link, which is never followed). Returns an empty text, or why the file could not be written.
QString WriteNewFile(const QString& path, const QByteArray& bytes);

// The file given to the browser, in the user's cache folder (created when missing), with a
// copy of the logo beside it so that the page shows it there too.
QString PrepareBrowserFile(const QString& logoFile);
