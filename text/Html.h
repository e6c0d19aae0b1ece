#pragma once
// Text that the user typed goes into our HTML escaped, so that it shows as typed and a saved
// page never runs it. Dictionary texts are markup by their authors and go in unchanged.

#include <string>
#include <string_view>

inline void AppendEscapedHtml(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
}

inline std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  AppendEscapedHtml(escaped, text);
  return escaped;
}
