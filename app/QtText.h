#pragma once
// The window's edge between Windows-1251 texts of the core and Qt's Unicode strings.

#include <QString>
#include <string>
#include <string_view>

#include "text/Cp1251.h"

inline QString FromCp1251(std::string_view text) {
  return QString::fromStdString(cp1251::ToUtf8(text));
}

// Letters that Windows-1251 lacks are written as the data writes them (ä as ae); what is left
// becomes "?": the dictionary could not hold it anyway.
inline std::string ToCp1251(const QString& text) {
  return cp1251::FromTypedText(text.toStdString());
}
