#include "core/ecu_file.h"

#include <algorithm>
#include <utility>

#include "core/file_read.h"
#include "core/state.h"
#include "core/text.h"

namespace trimlet {

namespace {

bool isBlankItem(std::string_view item) { return trim(item).empty(); }

// Walks the items of the text in file order, one at a time, keeping count of the lines.
class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  std::optional<PlacedItem> next() {
    if (done_) return std::nullopt;
    const size_t n = text_.size();
    size_t i = pos_;
    while (i < n && isBlank(text_[i])) ++i;
    const TextPosition at{line_, i - lineStart_ + 1};
    std::string_view item;
    if (i < n && text_[i] == '"') {
      const size_t close = text_.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? n : close;
      item = text_.substr(i + 1, end - i - 1);
      countLineEnds(i + 1, end);  // a quoted item may run over several lines
      i = end == n ? n : end + 1;
      while (i < n && text_[i] != ',' && !isLineEnd(text_[i])) ++i;  // text after the quote
    } else {
      const size_t start = i;
      while (i < n && text_[i] != ',' && !isLineEnd(text_[i])) ++i;
      item = text_.substr(start, i - start);
    }
    // One separator: a comma, or a line end where CR LF counts once.
    if (i < n && text_[i] == '\r' && i + 1 < n && text_[i + 1] == '\n') ++i;
    if (i < n && isLineEnd(text_[i])) startLine(i + 1);
    pos_ = i + 1;
    done_ = pos_ >= n;
    return PlacedItem{item, at};
  }

  std::optional<PlacedItem> nextNonBlank() {
    while (auto item = next()) {
      if (!isBlankItem(item->text)) return item;
    }
    return std::nullopt;
  }

  // Skips items up to and including the next one that is "{" once trimmed; where it stands.
  // `field`, when given, receives the first skipped item that holds "=".
  std::optional<TextPosition> skipPastOpenBrace(std::optional<PlacedItem>* field = nullptr) {
    while (auto item = next()) {
      if (trim(item->text) == "{") return item->at;
      if (field != nullptr && !*field && item->text.find('=') != std::string_view::npos)
        *field = item;
    }
    return std::nullopt;
  }

  // Where the text ends: meaningful once every item has been read.
  [[nodiscard]] TextPosition end() const { return {line_, text_.size() - lineStart_ + 1}; }

  // The byte where the next item starts.
  [[nodiscard]] size_t position() const { return std::min(pos_, text_.size()); }

  // Reads nothing from byte `end` on.
  void endAt(size_t end) {
    text_ = text_.substr(0, end);
    done_ = done_ || pos_ >= text_.size();
  }

 private:
  void startLine(size_t at) {
    ++line_;
    lineStart_ = at;
  }

  void countLineEnds(size_t from, size_t to) {
    for (size_t j = from; j < to; ++j) {
      if (!isLineEnd(text_[j])) continue;
      if (text_[j] == '\r' && j + 1 < to && text_[j + 1] == '\n') ++j;
      startLine(j + 1);
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool done_ = false;
  size_t line_ = 1;
  size_t lineStart_ = 0;
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

// Takes the fields of the header and of each item in turn, noting each in the trace when a
// check asks for one.
class FieldWalk {
 public:
  FieldWalk(ItemReader& reader, EcuTrace* trace) : reader_(reader), trace_(trace) {}

  // Skips past the next "{" to the fields of the header (0) or of item `item`.
  bool open(int item) {
    const auto brace = skip();
    if (!brace) return fileEnds();
    item_ = item;
    field_ = 0;
    if (trace_ != nullptr) trace_->braces.push_back(*brace);
    return true;
  }

  bool text(std::string& out) {
    const auto field = next();
    if (!field) return false;
    out.assign(*field);
    return true;
  }

  bool whole(int16_t& out) { return number(out, toInt16); }

  bool real(double& out) { return number(out, toReal); }

  void stop(ReadStop why) {
    if (trace_ != nullptr) trace_->stop = why;
  }

  // Counts the "{" items the read leaves behind, up to the checksum section.
  void noteUnreadItems(std::string_view text) {
    if (trace_ == nullptr) return;
    if (const auto section = checksumsLineAt(text, trace_->itemsEnd)) reader_.endAt(*section);
    auto brace = skip();
    if (brace) trace_->firstUnread = *brace;
    for (; brace; brace = reader_.skipPastOpenBrace()) ++trace_->unreadItems;
  }

 private:
  // Skips past the next "{", noting a field item left after the fields of the header or item.
  std::optional<TextPosition> skip() {
    if (trace_ == nullptr) return reader_.skipPastOpenBrace();
    std::optional<PlacedItem> left;
    const auto brace = reader_.skipPastOpenBrace(trace_->braces.empty() ? nullptr : &left);
    if (left) trace_->leftovers.push_back({item_, *left});
    return brace;
  }

  // A number field: `out` keeps its value when the text is no number in range.
  template <class T>
  bool number(T& out, std::optional<T> (*convert)(std::string_view)) {
    const auto field = next();
    if (!field) return false;
    const auto value = convert(*field);
    if (value) out = *value;
    return converted(value.has_value());
  }

  // The next field item's value; nullopt when the file has ended.
  std::optional<std::string_view> next() {
    const auto item = reader_.nextNonBlank();
    if (!item) {
      fileEnds();
      return std::nullopt;
    }
    const std::string_view value = fieldValue(item->text);
    if (trace_ != nullptr) trace_->fields.push_back({item_, field_, *item, value, true});
    ++field_;
    return value;
  }

  bool converted(bool ok) {
    if (!ok && trace_ != nullptr) {
      trace_->fields.back().converted = false;
      trace_->stop = ReadStop::NotANumber;
    }
    return ok;
  }

  bool fileEnds() {
    if (trace_ != nullptr) {
      trace_->stop = ReadStop::FileEnds;
      trace_->fileEnd = reader_.end();
    }
    return false;
  }

  ItemReader& reader_;
  EcuTrace* trace_;
  int item_ = 0;
  int field_ = 0;
};

bool readHeader(FieldWalk& walk, const EcuTarget& target) {
  return walk.text(target.head1) && walk.whole(target.head2) && walk.text(target.head3) &&
         walk.text(target.head4) && walk.text(target.head5) && walk.text(target.head6) &&
         walk.whole(target.count);
}

// Fills the item field by field, so a failure leaves it partly filled.
bool readItem(FieldWalk& walk, ECU_Item& item) {
  return walk.text(item.Address) && walk.whole(item.Cols) && walk.whole(item.Rows) &&
         walk.whole(item.Bytes) && walk.whole(item.Kind) && walk.real(item.Offset) &&
         walk.whole(item.Operation) && walk.real(item.Factor) && walk.text(item.Name) &&
         walk.text(item.Ylabel) && walk.text(item.Yaxis) && walk.text(item.Xlabel) &&
         walk.text(item.Xaxis);
}

// The read of the header and the items, leaving `reader` where it stopped.
ParseResult readItems(ItemReader& reader, FieldWalk& walk, const EcuTarget& target,
                      EcuTrace* trace) {
  const auto format = reader.nextNonBlank();
  if (trace != nullptr) trace->format = format;
  if (!format || upper(format->text).find("FORMAT") == std::string::npos) {
    walk.stop(ReadStop::NoFormat);
    return {ParseOutcome::Rejected, kIncorrectFormat};
  }
  target.format = std::string(format->text);

  if (!walk.open(0) || !readHeader(walk, target)) {
    return {ParseOutcome::Rejected, kEcuFileError};
  }

  for (int i = 1; i <= target.count; ++i) {
    if (i > kMaxItems) {
      walk.stop(ReadStop::TooManyItems);
      return {ParseOutcome::ItemError, kEcuFileError};
    }
    if (!walk.open(i) || !readItem(walk, target.items[static_cast<size_t>(i)])) {
      return {ParseOutcome::ItemError, kEcuFileError};
    }
  }
  return {};
}

}  // namespace

std::vector<std::string_view> tokenizeItems(std::string_view text) {
  std::vector<std::string_view> items;
  ItemReader reader(text);
  while (auto item = reader.next()) items.push_back(item->text);
  return items;
}

std::string Get_Field(std::string_view item) { return std::string(fieldValue(item)); }

ParseResult readEcuText(std::string_view text, const EcuTarget& target, EcuTrace* trace) {
  ItemReader reader(text);
  FieldWalk walk(reader, trace);
  const ParseResult result = readItems(reader, walk, target, trace);
  if (trace != nullptr) {
    trace->itemsEnd = reader.position();
    if (result.outcome == ParseOutcome::Ok) walk.noteUnreadItems(text);
  }
  return result;
}

ParseResult Parse_ECU() {
  // Items of an earlier file must never pass for items of this one, whatever fails below.
  ECU_Items.fill(ECU_Item{});
  ECU_Count = 0;
  ECU_Format.clear();
  const FileBytes file = readFileBytes(ECU_Path, kMaxTextFileBytes);
  if (file.problem != ReadProblem::None)
    return {ParseOutcome::Rejected, readFailure("ECU file", ECU_Path, file, kMaxTextFileBytes)};
  return readEcuText(file.bytes,
                     {ECU_Format, ECU_Head1, ECU_Head2, ECU_Head3, ECU_Head4, ECU_Head5, ECU_Head6,
                      ECU_Count, ECU_Items},
                     nullptr);
}

std::optional<size_t> checksumsLineAt(std::string_view text, size_t from) {
  LineReader lines(text);
  while (const auto line = lines.next())
    if (lines.offset() >= from && equalsNoCase(trim(*line), kChecksumsLine)) return lines.offset();
  return std::nullopt;
}

}  // namespace trimlet
