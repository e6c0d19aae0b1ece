#pragma once
// The fuzzer's bytes as a data file: the dictionary they load, or nothing when the load refuses them.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "dictionary/Dictionary.h"

inline std::optional<CDictionary> FuzzedDictionary(const uint8_t* data, std::size_t size) {
  std::optional<CDictionary> dictionary(std::in_place);
  try {
    dictionary->LoadBytes({data, data + size}, "fuzz.dct");
  } catch (const CDictionaryError&) {
    return std::nullopt;
  }
  return dictionary;
}
