#pragma once
// How much the pages and panes show and how large: the settings' limits and defaults, which the window,
// its settings dialog and carro all keep.

#include <algorithm>
#include <cstdint>

struct CDisplayLimits {
  int32_t minimum;
  int32_t maximum;
  int32_t standard;  // the setting's default
  constexpr int32_t Clamped(int32_t value) const { return std::clamp(value, minimum, maximum); }
};

// Rows of the variants pane and articles of the page of all variants.
inline constexpr CDisplayLimits kVariantCountLimits{10, 200, 100};
// Articles of a search result page.
inline constexpr CDisplayLimits kResultCountLimits{10, 500, 300};
// Font sizes the settings dialog offers for the panes.
inline constexpr CDisplayLimits kFontSizeLimits{1, 100, 9};
// The views never lay out a smaller size, whatever is stored.
inline constexpr int32_t kMinShownFontSize = 6;
