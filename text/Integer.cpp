#include "text/Integer.h"

#include <charconv>

std::optional<int32_t> ParseInt32(std::string_view text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}
