#include "dictionary/DataFileWriter.h"

#include <cstdint>

namespace {

constexpr std::string_view kHeaderText = "Carro Lexiconia dictionary data, format 1.0\n";
static_assert(kHeaderText.size() == 44);

void AppendInt32(std::string& out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

void AppendString(std::string& out, std::string_view text) {
  AppendInt32(out, static_cast<int32_t>(text.size()));
  out += text;
}

}  // namespace

void AppendRecord(std::string& records, const CArticle& article) {
  for (const CArticleField& field : kArticleFields) {
    std::visit(
        [&](auto CArticle::*member) {
          if constexpr (kIsNumberField<decltype(member)>)
            AppendInt32(records, article.*member);
          else
            AppendString(records, article.*member);
        },
        field.member);
  }
}

std::string DataFileBytes(const CDictionaryInfo& info, std::string_view records) {
  std::string bytes(kHeaderText);
  for (const std::string* text : info.Texts()) AppendString(bytes, *text);
  bytes += records;
  return bytes;
}
