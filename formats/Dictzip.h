#pragma once
// Reads gzip and dictzip (.dz) files: dictzip is gzip with a random-access table in its header,
// which a whole-file read does not need.

#include <cstddef>
#include <string>
#include <string_view>

// The uncompressed bytes, at most `maxBytes`; CFormatError naming `file` and the offset when the
// data is damaged, cut short or would grow beyond the bound.
std::string Inflate(std::string_view compressed, std::string_view file, std::size_t maxBytes);

// Whether a file name ends in ".dz" or ".gz".
bool IsCompressedName(std::string_view path);
