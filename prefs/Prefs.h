#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "pages/DisplayLimits.h"

// What a save wrote: the settings themselves, and the run-at-logon entry as Autorun asks.
struct CPrefsSaved {
  bool valuesWritten = true;
  bool runAtLogonWritten = true;
  explicit operator bool() const { return valuesWritten && runAtLogonWritten; }
};

// The user's settings, kept in the per-user settings store (the registry on Windows, a .conf file
// elsewhere), and the program's own run-at-logon entry. Every value is stored as an integer.
class CPrefs {
 public:
  int32_t MaxVariantDisplayCount = kVariantCountLimits.standard;
  int32_t MaxResultDisplayCount = kResultCountLimits.standard;
  bool SearchFullWords = false;
  bool SearchExact = false;
  bool MinToTray = false;
  bool Autorun = false;  // whether the run-at-logon entry exists; not among the stored values
  bool RunMinimized = false;
  int32_t VariantsFontSize = kFontSizeLimits.standard;
  int32_t ResultsFontSize = kFontSizeLimits.standard;
  bool FoldYo = false;     // е and ё as one letter in look-ups, searches and highlighting
  bool KeepPages = false;  // bookmarks and history kept between runs

  // Fills every field. A missing value takes its default; so does a value that is not an integer,
  // and the load goes on. Returns the names of those values, empty when every value was fine.
  QStringList LoadFromRegistry();
  // Writes every value and creates or removes the run-at-logon entry; says which of the two could not
  // be written. The fields are left as they are.
  CPrefsSaved SaveToRegistry() const;
  // Keeps the display counts within what the pages can show; the font sizes are used as stored.
  void CheckLimits();

  bool operator==(const CPrefs&) const = default;
};

// Whether a desktop entry's text says the desktop has switched it off (Hidden=true, or
// X-GNOME-Autostart-enabled=false, in its [Desktop Entry] group).
bool DesktopEntrySwitchedOff(const QByteArray& entry);

// An autostart entry that starts the program through `exec`: the `existing` entry with its Exec
// replaced (Type and Name added where missing) and every other line kept, or a new entry.
QByteArray DesktopEntryStarting(const QByteArray& existing, const QString& exec);

// The Exec value of a desktop entry that starts `program` with no arguments: quoted as one argument,
// with the escapes that quoting and the file format ask for.
QString DesktopExecValue(const QString& program);
