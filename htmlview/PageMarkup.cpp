#include "htmlview/PageMarkup.h"

#include <strings.h>

#include <algorithm>
#include <array>

#include "text/Cp1251.h"

namespace {

bool IsHtmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool NameIs(std::string_view name, std::string_view wanted) {
  return name.size() == wanted.size() && strncasecmp(name.data(), wanted.data(), wanted.size()) == 0;
}

// Elements without content: they open nothing that nests.
bool IsVoid(std::string_view name) {
  constexpr std::array<std::string_view, 14> kVoid = {"area",  "base",   "br",    "col",  "embed",
                                                      "hr",    "img",    "input", "link", "meta",
                                                      "param", "source", "track", "wbr"};
  return std::any_of(kVoid.begin(), kVoid.end(), [name](std::string_view v) { return NameIs(name, v); });
}

constexpr std::string_view kLeftOutNote =
    "\n<p><font color=#888888>Страница слишком велика для показа: её остаток опущен. Сохранённая или "
    "напечатанная страница выводится целиком.</font></p>\n</body></html>"_cp;

}  // namespace

std::string BrowserReadableMarkup(std::string_view html) {
  std::string out;
  out.reserve(html.size() + html.size() / 16);
  std::size_t at = 0;
  const auto copyWhile = [&](auto keep) {
    const std::size_t from = at;
    while (at < html.size() && keep(html[at])) ++at;
    out.append(html, from, at - from);
  };
  int depth = 0;
  int droppedOpen = 0;  // opening tags left out for depth, whose closing tags go too
  while (at < html.size()) {
    copyWhile([](char c) { return c != '<'; });
    if (at >= html.size()) break;
    const bool closing = at + 1 < html.size() && html[at + 1] == '/';
    if (at + 1 + closing >= html.size() || !IsAsciiLetter(html[at + 1 + closing])) {  // text: "a < b"
      out.push_back(html[at++]);
      continue;
    }
    const std::size_t tagStart = out.size();
    copyWhile([](char c) { return !IsHtmlSpace(c) && c != '>'; });  // "<", "/" and the name
    std::string_view name = std::string_view(out).substr(tagStart + 1 + closing);
    name = name.substr(0, name.find('/'));
    const std::size_t nameSize = name.size();
    bool selfClosing = out.back() == '/';
    while (at < html.size() && html[at] != '>') {
      copyWhile([](char c) { return !IsHtmlSpace(c) && c != '>' && c != '='; });  // a name, or "/"
      selfClosing = out.back() == '/';
      copyWhile(IsHtmlSpace);
      if (at >= html.size() || html[at] != '=') continue;
      out.push_back('=');
      ++at;
      copyWhile(IsHtmlSpace);
      if (at >= html.size() || html[at] == '>') break;
      selfClosing = false;
      if (const char mark = html[at]; mark == '"' || mark == '\'') {
        const std::size_t end = html.find(mark, at + 1);
        const std::size_t stop = end == std::string_view::npos ? html.size() : end + 1;
        out.append(html, at, stop - at);
        at = stop;
        continue;
      }
      out.push_back('"');
      for (; at < html.size() && !IsHtmlSpace(html[at]) && html[at] != '>'; ++at) {
        if (html[at] == '"')
          out.append("&quot;");
        else
          out.push_back(html[at]);
      }
      out.push_back('"');
    }
    const std::string_view tagName = std::string_view(out).substr(tagStart + 1 + closing, nameSize);
    bool drop = NameIs(tagName, "link");
    if (closing) {
      if (droppedOpen > 0) {
        --droppedOpen;
        drop = true;
      } else if (depth > 0) {
        --depth;
      }
    } else if (!selfClosing && !IsVoid(tagName)) {
      if (depth >= kMaxMarkupDepth) {
        ++droppedOpen;
        drop = true;
      } else {
        ++depth;
      }
    }
    if (drop) {
      out.resize(tagStart);
      if (at < html.size()) ++at;  // its '>'
    }
  }
  return out;
}

std::string ShownPart(std::string_view html, std::size_t limit) {
  if (html.size() <= limit) return std::string(html);
  std::size_t cut = limit;
  // Not inside a tag or an entity: back to the start of one that would be cut.
  if (const std::size_t open = html.rfind('<', cut - 1); open != std::string_view::npos) {
    const std::size_t close = html.find('>', open);
    if (close == std::string_view::npos || close >= cut) cut = open;
  }
  if (const std::size_t amp = html.rfind('&', cut - 1); amp != std::string_view::npos && cut - amp <= 10) {
    const std::size_t semicolon = html.find(';', amp);
    if (semicolon == std::string_view::npos || semicolon >= cut) cut = amp;
  }
  return std::string(html.substr(0, cut)).append(kLeftOutNote);
}

std::string WithBreaksInLongRuns(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  int run = 0;
  bool inTag = false;
  for (std::size_t at = 0; at < html.size();) {
    const char c = html[at];
    if (inTag || c == '<') {
      inTag = c != '>';
      out.push_back(c);
      ++at;
      continue;
    }
    // One character: an entity, or a UTF-8 sequence.
    std::size_t size = 1;
    if (c == '&') {
      const std::size_t semicolon = html.find(';', at);
      if (semicolon != std::string_view::npos && semicolon - at <= 10) size = semicolon - at + 1;
    } else if ((c & 0xE0) == 0xC0) {
      size = 2;
    } else if ((c & 0xF0) == 0xE0) {
      size = 3;
    } else if ((c & 0xF8) == 0xF0) {
      size = 4;
    }
    size = std::min(size, html.size() - at);
    if (IsHtmlSpace(c)) {
      run = 0;
    } else if (++run > kMaxUnbrokenRun) {
      out.append(kInsertedBreak);
      run = 1;
    }
    out.append(html, at, size);
    at += size;
  }
  return out;
}
