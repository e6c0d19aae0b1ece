#include "formats/Dictzip.h"

#include <zlib.h>

#include "formats/Glossary.h"

std::string Inflate(std::string_view compressed, std::string_view file, std::size_t maxBytes) {
  z_stream stream{};
  // 16 + MAX_WBITS: a gzip wrapper; members one after another are read as one file.
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw CFormatError(OffsetPlace(file, 0) + ": zlib");
  std::string out;
  char buffer[1 << 16];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));  // zlib's API is not const
  stream.avail_in = static_cast<uInt>(std::min<std::size_t>(compressed.size(), UINT32_MAX));
  int result = Z_OK;
  while (true) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
    if (out.size() > maxBytes) break;
    if (result == Z_STREAM_END) {
      if (stream.avail_in == 0) break;
      inflateReset(&stream);  // a further gzip member
      continue;
    }
    if (result != Z_OK) break;
  }
  const uint64_t where = stream.total_in;
  inflateEnd(&stream);
  if (out.size() > maxBytes)
    throw CFormatError(OffsetPlace(file, where) + std::string(": распакованный файл слишком велик"_cp));
  if (result != Z_STREAM_END)
    throw CFormatError(OffsetPlace(file, where) + (result == Z_BUF_ERROR
                                                       ? std::string(": сжатый файл обрывается"_cp)
                                                       : std::string(": сжатый файл повреждён"_cp)));
  return out;
}

bool IsCompressedName(std::string_view path) {
  return path.ends_with(".dz") || path.ends_with(".gz");
}
