#pragma once
// Whole numbers as texts hold them: the data source's fields, carro's options, links.

#include <cstdint>
#include <optional>
#include <string_view>

// The decimal 32-bit integer that is all of `text` (an optional "-", then digits); nothing for any
// other text, an empty one or a number out of range.
std::optional<int32_t> ParseInt32(std::string_view text);
