#pragma once
// Reads the data stream after the header: little-endian int32 values and counted texts.
// The stream is stored plain, so its decoding step is the identity and a decoded block is a
// view of the file's own bytes.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

class CDataReader {
 public:
  CDataReader(std::string_view file, std::size_t start) : bytes(file), pos(start) {}

  // The next `count` bytes, decoded; nothing when fewer are left (the reader then stays put).
  std::optional<std::string_view> ReadDecoded(std::size_t count) {
    if (count > bytes.size() - pos) return std::nullopt;
    const std::string_view block = bytes.substr(pos, count);
    pos += count;
    return block;
  }

  std::optional<int32_t> ReadInt32() {
    const auto block = ReadDecoded(4);
    if (!block) return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(block->data());
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
  }

  // Past a counted text, with ReadString's checks; false where ReadString gives nothing.
  bool SkipString() {
    const auto count = ReadInt32();
    return count && *count >= 0 && ReadDecoded(static_cast<std::size_t>(*count));
  }

  // A counted text, seen up to its first NUL. Nothing for a negative count or one that runs
  // past the end: such a count is damage, and trusting it would mean a huge allocation.
  std::optional<std::string_view> ReadString() {
    const auto count = ReadInt32();
    if (!count || *count < 0) return std::nullopt;
    const auto text = ReadDecoded(static_cast<std::size_t>(*count));
    if (!text) return std::nullopt;
    const void* nul = std::memchr(text->data(), '\0', text->size());
    return nul ? text->substr(0, static_cast<const char*>(nul) - text->data()) : *text;
  }

 private:
  std::string_view bytes;
  std::size_t pos;
};
