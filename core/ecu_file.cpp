#include "core/ecu_file.h"

#include <utility>

#include "core/file_read.h"
#include "core/state.h"
#include "core/text.h"

namespace trimlet {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

bool isBlankItem(std::string_view item) { return trim(item).empty(); }

// Walks the items of the text in file order, one at a time.
class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  std::optional<std::string_view> next() {
    if (done_) return std::nullopt;
    const size_t n = text_.size();
    size_t i = pos_;
    while (i < n && isBlank(text_[i])) ++i;
    std::string_view item;
    if (i < n && text_[i] == '"') {
      const size_t close = text_.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? n : close;
      item = text_.substr(i + 1, end - i - 1);
      i = end == n ? n : end + 1;
      while (i < n && text_[i] != ',' && !isLineEnd(text_[i])) ++i;  // text after the quote
    } else {
      const size_t start = i;
      while (i < n && text_[i] != ',' && !isLineEnd(text_[i])) ++i;
      item = text_.substr(start, i - start);
    }
    // One separator: a comma, or a line end where CR LF counts once.
    if (i < n && text_[i] == '\r' && i + 1 < n && text_[i + 1] == '\n') ++i;
    pos_ = i + 1;
    done_ = pos_ >= n;
    return item;
  }

  std::optional<std::string_view> nextNonBlank() {
    while (auto item = next()) {
      if (!isBlankItem(*item)) return item;
    }
    return std::nullopt;
  }

  // Skips items up to and including the next one that is "{" once trimmed.
  bool skipPastOpenBrace() {
    while (auto item = next()) {
      if (trim(*item) == "{") return true;
    }
    return false;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  bool done_ = false;
};

// The value of a field item, viewed in place (numbers need no copy of it).
std::string_view fieldValue(std::string_view item) {
  const size_t eq = item.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view value = item.substr(eq + 1);
  const size_t comma = value.find(',');
  if (comma != std::string_view::npos) value = value.substr(0, comma);
  return value;
}

// Reads the next field item's value; nullopt when the file has ended.
std::optional<std::string_view> nextField(ItemReader& reader) {
  const auto item = reader.nextNonBlank();
  if (!item) return std::nullopt;
  return fieldValue(*item);
}

bool readInt16(ItemReader& reader, int16_t& out) {
  const auto field = nextField(reader);
  if (!field) return false;
  const auto value = toInt16(*field);
  if (!value) return false;
  out = *value;
  return true;
}

bool readReal(ItemReader& reader, double& out) {
  const auto field = nextField(reader);
  if (!field) return false;
  const auto value = toReal(*field);
  if (!value) return false;
  out = *value;
  return true;
}

bool readText(ItemReader& reader, std::string& out) {
  const auto field = nextField(reader);
  if (!field) return false;
  out.assign(*field);
  return true;
}

bool readHeader(ItemReader& reader) {
  return readText(reader, ECU_Head1) && readInt16(reader, ECU_Head2) &&
         readText(reader, ECU_Head3) && readText(reader, ECU_Head4) &&
         readText(reader, ECU_Head5) && readText(reader, ECU_Head6) && readInt16(reader, ECU_Count);
}

// Fills the item field by field, so a failure leaves it partly filled.
bool readItem(ItemReader& reader, ECU_Item& item) {
  return readText(reader, item.Address) && readInt16(reader, item.Cols) &&
         readInt16(reader, item.Rows) && readInt16(reader, item.Bytes) &&
         readInt16(reader, item.Kind) && readReal(reader, item.Offset) &&
         readInt16(reader, item.Operation) && readReal(reader, item.Factor) &&
         readText(reader, item.Name) && readText(reader, item.Ylabel) &&
         readText(reader, item.Yaxis) && readText(reader, item.Xlabel) &&
         readText(reader, item.Xaxis);
}

}  // namespace

std::vector<std::string_view> tokenizeItems(std::string_view text) {
  std::vector<std::string_view> items;
  ItemReader reader(text);
  while (auto item = reader.next()) items.push_back(*item);
  return items;
}

std::string Get_Field(std::string_view item) { return std::string(fieldValue(item)); }

ParseResult Parse_ECU() {
  // Items of an earlier file must never pass for items of this one, whatever fails below.
  ECU_Items.fill(ECU_Item{});
  ECU_Count = 0;
  ECU_Format.clear();
  const FileBytes file = readFileBytes(ECU_Path, kMaxTextFileBytes);
  if (file.problem != ReadProblem::None)
    return {ParseOutcome::Rejected, readFailure("ECU file", ECU_Path, file, kMaxTextFileBytes)};
  ItemReader reader(file.bytes);

  const auto format = reader.nextNonBlank();
  if (!format || upper(*format).find("FORMAT") == std::string::npos) {
    return {ParseOutcome::Rejected, kIncorrectFormat};
  }
  ECU_Format = std::string(*format);

  if (!reader.skipPastOpenBrace() || !readHeader(reader)) {
    return {ParseOutcome::Rejected, kEcuFileError};
  }

  for (int i = 1; i <= ECU_Count; ++i) {
    if (i > kMaxItems || !reader.skipPastOpenBrace() || !readItem(reader, ECU_Items[i])) {
      return {ParseOutcome::ItemError, kEcuFileError};
    }
  }
  return {};
}

}  // namespace trimlet
