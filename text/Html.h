#pragma once
// Text that the user typed goes into our HTML escaped, so that it shows as typed and a saved
// page never runs it. Dictionary texts are markup by their authors and go in unchanged.

#include <string>
#include <string_view>

inline std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}
