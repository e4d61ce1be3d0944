#include "core/patch.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "core/checksum_section.h"
#include "core/conversion.h"
#include "core/file_read.h"
#include "core/hex.h"
#include "core/image.h"
#include "core/output_text.h"
#include "core/sha256.h"
#include "core/text.h"

namespace trimlet {

namespace {

constexpr char kMagic[] = "Trimlet patch";

std::string shaOf(const std::vector<uint8_t>& bytes) {
  return sha256Text(
      sha256(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

// Appends a raw value's digits: two a byte, so a value's text shows its width.
void appendRaw(std::string& out, uint32_t value, int bytes) {
  for (int shift = 8 * bytes - 4; shift >= 0; shift -= 4) out += kHexDigits[value >> shift & 0xF];
}

std::string rawText(uint32_t value, int bytes) {
  std::string text;
  appendRaw(text, value, bytes);
  return text;
}

std::string quotedName(std::string_view name) {
  std::string out = "\"";
  for (size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    const size_t length = c < 0x80 ? 1 : utf8Length(name, i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F || length == 0) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    } else {
      out.append(name.substr(i, length));
    }
    i += std::max<size_t>(length, 1);
  }
  return out + "\"";
}

std::string shapeText(const PatchItem& item) {
  switch (item.kind) {
    case PatchClass::Flag:
      return {};
    case PatchClass::Value:
      return " " + std::to_string(item.bytes);
    default:
      return " " + std::to_string(item.cols) + "x" + std::to_string(item.rows);
  }
}

// A table cell's calculated values by raw byte, for each rule (Operation, Factor, Offset):
// items of one kind share their rule, so each text is worked out once.
using ShownBytes =
    std::map<std::tuple<int16_t, double, double>, std::vector<std::optional<std::string>>>;

// Writes an item's changes, each with its calculated values as a comment where the item's
// rule gives them.
class ChangeWriter {
 public:
  ChangeWriter(std::string& out, const PatchItem& item, ShownBytes& shownBytes)
      : out_(out), item_(item), shownBytes_(shownBytes) {}

  void write(const PatchChange& change) {
    switch (item_.kind) {
      case PatchClass::Flag:
        out_ += "bit ";
        out_ += static_cast<char>('0' + change.unit);
        out_ += change.before != 0 ? " 1 -> " : " 0 -> ";
        out_ += change.after != 0 ? '1' : '0';
        break;
      case PatchClass::Value:
        out_ += "value ";
        appendRaw(out_, change.before, item_.bytes);
        out_ += " -> ";
        appendRaw(out_, change.after, item_.bytes);
        break;
      default:
        out_ += "cell ";
        out_ += std::to_string(change.unit % item_.cols);
        out_ += ' ';
        out_ += std::to_string(change.unit / item_.cols);
        out_ += ' ';
        appendRaw(out_, change.before, 1);
        out_ += " -> ";
        appendRaw(out_, change.after, 1);
    }
    if (item_.kind != PatchClass::Flag && item_.shownAs && item_.shownAs->Factor != 0) {
      const std::string &before = shown(change.before), &after = shown(change.after);
      if (!before.empty() && !after.empty()) {
        out_ += "  # ";
        out_ += before;
        out_ += " -> ";
        out_ += after;
      }
    }
    out_ += '\n';
  }

 private:
  const std::string& shown(uint32_t raw) {
    const auto calculated = [&] {
      const ECU_Item& rule = *item_.shownAs;
      return formatCalculated(raw, rule.Operation, rule.Factor, rule.Offset);
    };
    if (item_.kind == PatchClass::Value) return value_ = calculated();
    const ECU_Item& rule = *item_.shownAs;
    auto& bytes = shownBytes_[{rule.Operation, rule.Factor, rule.Offset}];
    if (bytes.empty()) bytes.resize(256);
    if (!bytes[raw]) bytes[raw] = calculated();
    return *bytes[raw];
  }

  std::string& out_;
  const PatchItem& item_;
  ShownBytes& shownBytes_;
  std::string value_;
};

// The bytes of the blocks' results: recomputed after an apply, so never changes of their own.
std::vector<uint8_t> checksumResults(const std::vector<ChecksumBlock>& blocks, size_t length) {
  std::vector<uint8_t> result(length);
  for (const ChecksumBlock& block : blocks)
    for (uint64_t a = block.result().first; a <= block.result().last && a < length; ++a)
      result[a] = true;
  return result;
}

}  // namespace

std::optional<PatchClass> patchClassOf(const ECU_Item& item) {
  if (isFlagByte(item)) return PatchClass::Flag;
  if (isSingleValue(item)) return PatchClass::Value;
  if (isArray(item)) return PatchClass::Array;
  if (isMap(item)) return PatchClass::Map;
  return std::nullopt;
}

const char* keywordOf(PatchClass kind) {
  static const char* const kWords[] = {"flag", "value", "array", "map"};
  return kWords[static_cast<int>(kind)];
}

PatchEcu readPatchEcu(const std::string& path, int64_t imageBytes) {
  PatchEcu ecu;
  ecu.name = std::filesystem::path(path).filename().string();
  const FileBytes file = readFileBytes(path, kMaxTextFileBytes);
  if (file.problem != ReadProblem::None) {
    ecu.problem = readFailure("ECU", path, file, kMaxTextFileBytes);
    return ecu;
  }
  ecu.sha = sha256Text(sha256(file.bytes));
  ChecksumSection section = readChecksumSection(file.bytes, imageBytes);
  if (section.usable()) ecu.blocks = std::move(section.blocks);
  return ecu;
}

std::vector<PatchItemSource> loadedItems() {
  std::vector<PatchItemSource> items;
  for (int i = 1; i <= std::clamp<int>(ECU_Count, 0, kMaxItems); ++i)
    items.push_back(
        {&ECU_Items[static_cast<size_t>(i)], itemRecords(ECU_Items[static_cast<size_t>(i)])});
  return items;
}

Patch diffImages(const std::vector<uint8_t>& reference, const std::vector<uint8_t>& current,
                 const std::vector<PatchItemSource>& items, const PatchEcu& ecu) {
  Patch patch{static_cast<int64_t>(reference.size()),
              shaOf(reference),
              static_cast<int64_t>(current.size()),
              shaOf(current),
              ecu.name,
              ecu.sha,
              {},
              {}};
  const size_t length = std::min(reference.size(), current.size());
  const std::vector<uint8_t> results = checksumResults(ecu.blocks, length);
  const auto changed = [&](int64_t r) {
    return !results[static_cast<size_t>(r)] &&
           reference[static_cast<size_t>(r)] != current[static_cast<size_t>(r)];
  };
  std::vector<uint8_t> inItem(length);
  for (const PatchItemSource& source : items) {
    const std::optional<PatchClass> kind = patchClassOf(*source.item);
    const RecordRange& range = source.range;
    if (!kind || range.problem != RangeProblem::None ||
        range.first + static_cast<int64_t>(range.count) > static_cast<int64_t>(length))
      continue;
    const ECU_Item& e = *source.item;
    PatchItem item{e.Name, *kind, static_cast<uint64_t>(range.first), 1, 1, 1, {}, 0, e};
    if (*kind == PatchClass::Array || *kind == PatchClass::Map) {
      item.cols = e.Cols;
      item.rows = e.Rows;
    }
    if (*kind == PatchClass::Value) item.bytes = range.count;
    const auto at = [&](const std::vector<uint8_t>& bytes, int r) {
      return static_cast<uint32_t>(bytes[static_cast<size_t>(r)]);
    };
    bool any = false;
    for (int r = range.first; r < range.first + range.count; ++r) {
      inItem[static_cast<size_t>(r)] = true;
      any = any || changed(r);
    }
    if (!any) continue;
    if (*kind == PatchClass::Flag) {
      const uint32_t was = at(reference, range.first), is = at(current, range.first);
      for (int bit = 7; bit >= 0; --bit)
        if ((was ^ is) >> bit & 1) item.changes.push_back({bit, was >> bit & 1, is >> bit & 1});
    } else if (*kind == PatchClass::Value) {
      PatchChange change;
      for (int r = range.first; r < range.first + range.count; ++r) {
        change.before = change.before << 8 | at(reference, r);
        change.after = change.after << 8 | at(current, r);
      }
      item.changes.push_back(change);
    } else {
      for (int r = range.first; r < range.first + range.count; ++r)
        if (changed(r)) item.changes.push_back({r - range.first, at(reference, r), at(current, r)});
    }
    patch.items.push_back(std::move(item));
  }
  for (size_t r = 0; r < length; ++r)
    if (!inItem[r] && changed(static_cast<int64_t>(r)))
      patch.bytes.push_back({static_cast<int64_t>(r), reference[r], current[r]});
  return patch;
}

std::string formatPatch(const Patch& patch) {
  ShownBytes shownBytes;
  std::string out = std::string(kMagic) + " " + std::to_string(kPatchVersion) + "\n";
  out +=
      "# Each changed item: its name, class, address and size, then every changed bit, value\n"
      "# or cell as the reference's raw value -> the new one. Checksums are recomputed.\n";
  out +=
      "reference " + std::to_string(patch.referenceLength) + " sha256 " + patch.referenceSha + "\n";
  out += "result " + std::to_string(patch.resultLength) + " sha256 " + patch.resultSha + "\n";
  out += "ecu " + quotedName(patch.ecuName) + " sha256 " + patch.ecuSha + "\n";
  for (const PatchItem& item : patch.items) {
    out += "\nitem " + quotedName(item.name) + " " + keywordOf(item.kind) + " " +
           numberToHex(item.address) + shapeText(item) + "\n";
    ChangeWriter writer(out, item, shownBytes);
    for (const PatchChange& change : item.changes) writer.write(change);
  }
  if (!patch.bytes.empty()) {
    out += "\nbytes\n";
    for (const PatchChange& change : patch.bytes) {
      out += "byte " + numberToHex(static_cast<uint64_t>(change.unit)) + " ";
      appendRaw(out, change.before, 1);
      out += " -> ";
      appendRaw(out, change.after, 1);
      out += '\n';
    }
  }
  return out + "\nend\n";
}

namespace {

// Reads one line of a patch field by field: words, numbers and quoted names, a "#" outside
// quotes starting a comment to the line's end.
class Fields {
 public:
  explicit Fields(std::string_view line) : rest_(line) {}

  // The next word; empty at the line's end (or its comment).
  std::string_view word() {
    skipBlanks();
    size_t end = 0;
    while (end < rest_.size() && !isBlank(rest_[end])) ++end;
    const std::string_view word = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return word;
  }
  // A quoted name with its escapes undone; nullopt when there is none or it is broken.
  std::optional<std::string> name() {
    skipBlanks();
    if (rest_.empty() || rest_[0] != '"') return std::nullopt;
    std::string out;
    for (size_t i = 1; i < rest_.size(); ++i) {
      const char c = rest_[i];
      if (c == '"') {
        rest_.remove_prefix(i + 1);
        if (!rest_.empty() && !isBlank(rest_[0])) return std::nullopt;
        return out;
      }
      if (c != '\\') {
        out += c;
      } else if (i + 1 < rest_.size() && (rest_[i + 1] == '"' || rest_[i + 1] == '\\')) {
        out += rest_[++i];
      } else if (i + 3 < rest_.size() && rest_[i + 1] == 'x' && hexDigitValue(rest_[i + 2]) >= 0 &&
                 hexDigitValue(rest_[i + 3]) >= 0) {
        out += static_cast<char>(hexDigitValue(rest_[i + 2]) * 16 + hexDigitValue(rest_[i + 3]));
        i += 3;
      } else {
        return std::nullopt;
      }
    }
    return std::nullopt;
  }
  // Whether nothing but blanks and a comment is left.
  bool done() {
    skipBlanks();
    return rest_.empty();
  }

 private:
  void skipBlanks() {
    while (!rest_.empty() && isBlank(rest_[0])) rest_.remove_prefix(1);
    if (!rest_.empty() && rest_[0] == '#') rest_ = {};
  }
  std::string_view rest_;
};

std::optional<uint64_t> decimal(std::string_view text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A hexadecimal number of digits only (no blanks, no sign) within `limit`.
std::optional<uint64_t> hexWithin(std::string_view text, uint64_t limit) {
  if (text.empty() || text.size() > 16 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; }))
    return std::nullopt;
  const std::optional<uint64_t> value = hexToNumber(text);
  if (!value || *value > limit) return std::nullopt;
  return value;
}

bool isSha(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

struct Refusal {
  std::string reason;
};

class PatchParser {
 public:
  explicit PatchParser(std::string_view text) : lines_(text) {}

  PatchRead run() {
    PatchRead read;
    try {
      parse(read.patch);
    } catch (const Refusal& refusal) {
      read.line = line_;
      read.problem = refusal.reason;
    }
    return read;
  }

 private:
  [[noreturn]] static void refuse(std::string reason) { throw Refusal{std::move(reason)}; }

  // The next line that holds more than blanks and a comment; nullopt at the end of the text.
  std::optional<std::string_view> next() {
    while (const std::optional<std::string_view> line = lines_.next()) {
      line_ = lines_.number();
      if (!Fields(*line).done()) return line;
    }
    ++line_;
    return std::nullopt;
  }

  std::string_view needLine() {
    const std::optional<std::string_view> line = next();
    if (!line) refuse("the patch ends early: it is truncated (its last line is \"end\")");
    return *line;
  }

  static void endOfLine(Fields& fields) {
    if (!fields.done()) refuse("more on the line than its fields");
  }

  // "reference LENGTH sha256 HASH" and the like.
  void imageLine(std::string_view keyword, int64_t& length, std::string& sha) {
    Fields fields(needLine());
    if (fields.word() != keyword) refuse("expected the line \"" + std::string(keyword) + " …\"");
    const auto bytes = decimal(fields.word());
    if (!bytes || *bytes == 0 || *bytes > static_cast<uint64_t>(kBinCapacity))
      refuse("the image length is out of range");
    length = static_cast<int64_t>(*bytes);
    hash(fields, sha);
    endOfLine(fields);
  }

  static void hash(Fields& fields, std::string& sha) {
    if (fields.word() != "sha256") refuse("expected \"sha256\" and a hash");
    const std::string_view digits = fields.word();
    if (!isSha(digits)) refuse("a SHA-256 is 64 lower-case hexadecimal digits");
    sha = digits;
  }

  void parse(Patch& patch) {
    Fields head(needLine());
    if (head.word() != "Trimlet" || head.word() != "patch") refuse("not a Trimlet patch file");
    const std::string_view version = head.word();
    if (decimal(version) != static_cast<uint64_t>(kPatchVersion))
      refuse("unknown version " + printable(version) +
             std::string(" (this program reads version " + std::to_string(kPatchVersion) + ")"));
    endOfLine(head);
    imageLine("reference", patch.referenceLength, patch.referenceSha);
    imageLine("result", patch.resultLength, patch.resultSha);
    Fields ecu(needLine());
    if (ecu.word() != "ecu") refuse("expected the line \"ecu NAME sha256 HASH\"");
    const std::optional<std::string> name = ecu.name();
    if (!name) refuse("the ECU file's name must be in double quotes");
    patch.ecuName = *name;
    hash(ecu, patch.ecuSha);
    endOfLine(ecu);

    std::set<std::pair<std::string, uint64_t>> seen;
    PatchItem* item = nullptr;
    bool inBytes = false;
    for (;;) {
      const std::string_view line = needLine();
      Fields fields(line);
      const std::string_view keyword = fields.word();
      if (keyword == "end") {
        endOfLine(fields);
        closeItem(item);
        if (inBytes && patch.bytes.empty()) refuse("\"bytes\" without a byte");
        if (next()) refuse("text after \"end\"");
        return;
      }
      if (keyword == "item" && !inBytes) {
        closeItem(item);
        item = &patch.items.emplace_back(itemLine(fields, patch.referenceLength));
        if (!seen.insert({item->name, item->address}).second)
          refuse("the item " + printable(item->name) + " at " + numberToHex(item->address) +
                 " is in the patch twice");
      } else if (keyword == "bytes" && !inBytes) {
        endOfLine(fields);
        closeItem(item);
        item = nullptr;
        inBytes = true;
      } else if (keyword == "byte" && inBytes) {
        const auto address =
            hexWithin(fields.word(), static_cast<uint64_t>(patch.referenceLength) - 1);
        if (!address) refuse("the byte's address is out of range of the reference image");
        PatchChange change = values(fields, static_cast<int64_t>(*address), 0xFF);
        if (!patch.bytes.empty() && patch.bytes.back().unit >= change.unit)
          refuse("bytes must come in address order, each once");
        patch.bytes.push_back(change);
      } else if (item != nullptr && keyword == expectedChange(*item)) {
        addChange(*item, fields);
      } else {
        refuse("unexpected line: " + printable(line.substr(0, 60)));
      }
    }
  }

  static const char* expectedChange(const PatchItem& item) {
    static const char* const kWords[] = {"bit", "value", "cell", "cell"};
    return kWords[static_cast<int>(item.kind)];
  }

  void closeItem(const PatchItem* item) const {
    if (item != nullptr && item->changes.empty())
      refuse("the item " + printable(item->name) + " lists no change");
  }

  PatchItem itemLine(Fields& fields, int64_t imageLength) {
    PatchItem item;
    item.line = line_;
    const std::optional<std::string> name = fields.name();
    if (!name) refuse("the item's name must be in double quotes");
    item.name = *name;
    const std::string_view kind = fields.word();
    const PatchClass kinds[] = {PatchClass::Flag, PatchClass::Value, PatchClass::Array,
                                PatchClass::Map};
    const auto found = std::find_if(std::begin(kinds), std::end(kinds),
                                    [&](PatchClass k) { return kind == keywordOf(k); });
    if (found == std::end(kinds)) refuse("unknown item class " + printable(kind));
    item.kind = *found;
    const auto address = hexWithin(fields.word(), static_cast<uint64_t>(imageLength) - 1);
    if (!address) refuse("the item's address is out of range of the reference image");
    item.address = *address;
    if (item.kind == PatchClass::Value) {
      const auto bytes = decimal(fields.word());
      if (!bytes || *bytes < 1 || *bytes > static_cast<uint64_t>(kMaxValueBytes))
        refuse("a value has 1 to 4 bytes");
      item.bytes = static_cast<int>(*bytes);
    } else if (item.kind != PatchClass::Flag) {
      const std::string_view shape = fields.word();
      const size_t x = shape.find('x');
      const auto cols = decimal(shape.substr(0, x));
      const auto rows = x == std::string_view::npos ? std::nullopt : decimal(shape.substr(x + 1));
      if (!cols || !rows || *cols < 1 || *rows < 1 || *cols > kMaxTableCells ||
          *rows > kMaxTableCells)
        refuse("a table's size is COLUMNSxROWS, each 1 to " + std::to_string(kMaxTableCells));
      item.cols = static_cast<int>(*cols);
      item.rows = static_cast<int>(*rows);
      const bool map = item.cols > 1 && item.rows > 1;
      if (map != (item.kind == PatchClass::Map) || (item.cols == 1 && item.rows == 1))
        refuse("that size is not one of a " + std::string(keywordOf(item.kind)));
    }
    endOfLine(fields);
    if (static_cast<int64_t>(item.address) + item.size() > imageLength)
      refuse("the item reaches past the end of the reference image");
    return item;
  }

  // "OLD -> NEW", each within `limit`, and different.
  static PatchChange values(Fields& fields, int64_t unit, uint32_t limit) {
    const auto read = [&] {
      const std::string_view word = fields.word();
      const auto value = limit == 1 ? decimal(word) : hexWithin(word, limit);
      if (!value || *value > limit) refuse("a value is out of range");
      return static_cast<uint32_t>(*value);
    };
    PatchChange change{unit, read(), 0};
    if (fields.word() != "->") refuse("expected OLD -> NEW");
    change.after = read();
    endOfLine(fields);
    if (change.before == change.after) refuse("the old and the new value are the same");
    return change;
  }

  static void addChange(PatchItem& item, Fields& fields) {
    int64_t unit = 0;
    uint32_t limit = 0xFF;
    if (item.kind == PatchClass::Flag) {
      const auto bit = decimal(fields.word());
      if (!bit || *bit > 7) refuse("a bit is 0 to 7");
      unit = static_cast<int64_t>(*bit);
      limit = 1;
    } else if (item.kind == PatchClass::Value) {
      limit = static_cast<uint32_t>((uint64_t{1} << (8 * item.bytes)) - 1);
    } else {
      const auto col = decimal(fields.word());
      const auto row = decimal(fields.word());
      if (!col || !row || *col >= static_cast<uint64_t>(item.cols) ||
          *row >= static_cast<uint64_t>(item.rows))
        refuse("the cell is out of range of the table");
      unit = static_cast<int64_t>(*col + *row * static_cast<uint64_t>(item.cols));
    }
    const PatchChange change = values(fields, unit, limit);
    // Bits from 7 down, cells in address order, one value: each unit once.
    const bool ordered =
        item.changes.empty() || (item.kind == PatchClass::Flag ? item.changes.back().unit > unit
                                                               : item.changes.back().unit < unit);
    if (!ordered || (item.kind == PatchClass::Value && !item.changes.empty()))
      refuse("a change of the item is listed twice or out of order");
    item.changes.push_back(change);
  }

  LineReader lines_;
  size_t line_ = 0;
};

}  // namespace

PatchRead parsePatch(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : utf8Length(text, i);
    if (length == 0 || text[i] == '\0') {
      size_t line = 1;
      for (size_t k = 0; k < i; ++k)
        if (text[k] == '\n' || (text[k] == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n')))
          ++line;
      return {{}, line, "the patch is not UTF-8 text"};
    }
    i += length;
  }
  return PatchParser(text).run();
}

PatchRead readPatchFile(const std::string& path) {
  const FileBytes file = readFileBytes(path, kMaxPatchBytes);
  if (file.problem != ReadProblem::None)
    return {{}, 0, readFailure("patch", path, file, kMaxPatchBytes)};
  return parsePatch(file.bytes);
}

std::string patchProblemText(const std::string& path, const PatchRead& read) {
  if (read.line == 0) return read.problem;
  return path + ", line " + std::to_string(read.line) + ": " + read.problem;
}

const char* outcomeText(PatchOutcome outcome) {
  static const char* const kTexts[] = {"applied", "already there",    "conflicting",
                                       "missing", "of another shape", "ambiguous"};
  return kTexts[static_cast<int>(outcome)];
}

bool PatchPlan::complete() const {
  return !refused() && std::all_of(items.begin(), items.end(), [](const PatchItemReport& item) {
    return item.outcome == PatchOutcome::Applied || item.outcome == PatchOutcome::AlreadyThere;
  });
}

int PatchPlan::count(PatchOutcome outcome) const {
  return static_cast<int>(
      std::count_if(items.begin(), items.end(),
                    [&](const PatchItemReport& item) { return item.outcome == outcome; }));
}

namespace {

// The bytes of one unit of a patch item in the image: its address and mask, first byte most
// significant for a value.
struct UnitBytes {
  uint64_t address = 0;
  int count = 1;
  uint8_t mask = 0xFF;
  int shift = 0;  // a bit's place in its byte
};

UnitBytes unitBytes(const PatchItem& item, uint64_t address, const PatchChange& change) {
  switch (item.kind) {
    case PatchClass::Flag:
      return {address, 1, static_cast<uint8_t>(1u << change.unit), static_cast<int>(change.unit)};
    case PatchClass::Value:
      return {address, item.bytes, 0xFF, 0};
    default:
      return {address + static_cast<uint64_t>(change.unit), 1, 0xFF, 0};
  }
}

uint32_t readUnit(const std::vector<uint8_t>& image, const UnitBytes& unit) {
  uint32_t value = 0;
  for (int k = 0; k < unit.count; ++k)
    value = value << 8 | image[unit.address + static_cast<uint64_t>(k)];
  return unit.mask == 0xFF ? value : (value & unit.mask) >> unit.shift;
}

void addWrites(const UnitBytes& unit, uint32_t value, std::vector<PatchWrite>& writes) {
  for (int k = 0; k < unit.count; ++k) {
    const int down = 8 * (unit.count - 1 - k);
    const auto byte = static_cast<uint8_t>(unit.mask == 0xFF ? value >> down : value << unit.shift);
    writes.push_back({unit.address + static_cast<uint64_t>(k), unit.mask,
                      static_cast<uint8_t>(byte & unit.mask)});
  }
}

// Finds the patch item among the target's: by name (trimmed); among equal names by address
// when the ECU file is the patch's own. Fills the report's outcome when it is not found.
const PatchItemSource* findItem(const PatchItem& item, const std::vector<PatchItemSource>& items,
                                bool sameEcu, size_t imageLength, PatchItemReport& report) {
  std::vector<size_t> named;
  for (size_t i = 0; i < items.size(); ++i)
    if (trim(items[i].item->Name) == trim(item.name)) named.push_back(i);
  if (sameEcu) {
    std::erase_if(named, [&](size_t i) {
      return items[i].range.problem != RangeProblem::None ||
             static_cast<uint64_t>(items[i].range.first) != item.address;
    });
  }
  if (named.empty()) {
    report.outcome = PatchOutcome::Missing;
    report.why =
        sameEcu ? "no item of that name at " + numberToHex(item.address) : "no item of that name";
    return nullptr;
  }
  if (named.size() > 1) {
    report.outcome = PatchOutcome::Ambiguous;
    report.why = std::to_string(named.size()) + " items have that name";
    return nullptr;
  }
  const PatchItemSource& found = items[named[0]];
  report.target = static_cast<int>(named[0]) + 1;
  const std::optional<PatchClass> kind = patchClassOf(*found.item);
  const bool table = kind == PatchClass::Array || kind == PatchClass::Map;
  if (kind != item.kind ||
      (table && (found.item->Cols != item.cols || found.item->Rows != item.rows)) ||
      (kind == PatchClass::Value && found.item->Bytes != item.bytes)) {
    report.outcome = PatchOutcome::OtherShape;
    report.why = "the open ECU file's item of that name is another class or size";
    return nullptr;
  }
  if (found.range.problem != RangeProblem::None ||
      static_cast<size_t>(found.range.first) + static_cast<size_t>(found.range.count) >
          imageLength) {
    report.outcome = PatchOutcome::Missing;
    report.why = "the item lies outside the open image";
    return nullptr;
  }
  report.targetAddress = static_cast<uint64_t>(found.range.first);
  return &found;
}

// Checks every change of an entry against the image, keeping what it writes.
void checkChanges(const PatchItem& item, uint64_t address, const std::vector<uint8_t>& image,
                  PatchItemReport& report, std::vector<PatchWrite>& writes) {
  bool writesAny = false;
  for (const PatchChange& change : item.changes) {
    const UnitBytes unit = unitBytes(item, address, change);
    const uint32_t found = readUnit(image, unit);
    if (found != change.before && found != change.after)
      report.conflicts.push_back({change.unit, change.before, found, change.after, {}});
    writesAny = writesAny || found != change.after;
    addWrites(unit, change.after, writes);
  }
  report.outcome = !report.conflicts.empty() ? PatchOutcome::Conflicting
                   : writesAny               ? PatchOutcome::Applied
                                             : PatchOutcome::AlreadyThere;
}

}  // namespace

PatchPlan planPatch(const Patch& patch, const std::vector<uint8_t>& image,
                    const std::vector<PatchItemSource>& items, const std::string& ecuSha) {
  PatchPlan plan;
  const bool sameEcu = ecuSha == patch.ecuSha;
  const bool sameLength = static_cast<int64_t>(image.size()) == patch.referenceLength;
  // Each entry's writes, by the entry.
  std::vector<std::vector<PatchWrite>> writes;
  for (size_t i = 0; i < patch.items.size(); ++i) {
    const PatchItem& item = patch.items[i];
    PatchItemReport report;
    report.name = item.name;
    report.patchIndex = static_cast<int>(i);
    std::vector<PatchWrite> entry;
    if (const PatchItemSource* found = findItem(item, items, sameEcu, image.size(), report))
      checkChanges(item, static_cast<uint64_t>(found->range.first), image, report, entry);
    plan.items.push_back(std::move(report));
    writes.push_back(std::move(entry));
  }
  if (!patch.bytes.empty()) {
    // Bytes of no item have nothing but their address to go by.
    PatchItem bytes{{}, PatchClass::Array, 0, 1, 1, 1, patch.bytes, 0, {}};
    PatchItemReport report;
    std::vector<PatchWrite> entry;
    if (sameLength) {
      checkChanges(bytes, 0, image, report, entry);
    } else {
      report.outcome = PatchOutcome::Missing;
      report.why = "the open image is of another length";
    }
    plan.items.push_back(std::move(report));
    writes.push_back(std::move(entry));
  }
  if (!sameLength && !plan.complete() &&
      std::any_of(plan.items.begin(), plan.items.end(), [](const PatchItemReport& r) {
        return r.outcome == PatchOutcome::Missing || r.outcome == PatchOutcome::Ambiguous;
      })) {
    plan.refusal = "The patch was made for an image of " + withThousands(patch.referenceLength) +
                   " bytes and the open one holds " +
                   withThousands(static_cast<int64_t>(image.size())) +
                   ": it can be applied only when every item is found by name.";
    return plan;
  }
  // A byte two entries change is written once; entries that want other bits of it conflict.
  std::vector<std::pair<PatchWrite, size_t>> all;  // each write with its entry, by address
  for (size_t e = 0; e < writes.size(); ++e)
    if (plan.items[e].outcome == PatchOutcome::Applied ||
        plan.items[e].outcome == PatchOutcome::AlreadyThere)
      for (const PatchWrite& w : writes[e]) all.push_back({w, e});
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return a.first.address < b.first.address; });
  for (size_t a = 0; a < all.size(); ++a)
    for (size_t b = a + 1; b < all.size() && all[b].first.address == all[a].first.address; ++b) {
      const auto& [wa, ea] = all[a];
      const auto& [wb, eb] = all[b];
      if (ea == eb || ((wa.value ^ wb.value) & wa.mask & wb.mask) == 0) continue;
      const uint64_t address = wa.address;
      for (const auto& [mine, other] : {std::pair{ea, eb}, std::pair{eb, ea}}) {
        PatchItemReport& report = plan.items[mine];
        report.outcome = PatchOutcome::Conflicting;
        const std::string otherName = plan.items[other].patchIndex < 0
                                          ? "a byte of no item"
                                          : printable(plan.items[other].name);
        report.conflicts.push_back(
            {static_cast<int64_t>(address), image[address], image[address], image[address],
             otherName + " writes the byte at " + numberToHex(address) + " otherwise"});
      }
    }
  for (size_t e = 0; e < writes.size(); ++e)
    if (plan.items[e].outcome == PatchOutcome::Applied)
      plan.writes.insert(plan.writes.end(), writes[e].begin(), writes[e].end());
  return plan;
}

std::string planText(const Patch& patch, const PatchPlan& plan) {
  if (plan.refused()) return plan.refusal + "\n";
  std::string out;
  const PatchOutcome outcomes[] = {PatchOutcome::Applied,     PatchOutcome::AlreadyThere,
                                   PatchOutcome::Conflicting, PatchOutcome::Missing,
                                   PatchOutcome::OtherShape,  PatchOutcome::Ambiguous};
  std::vector<std::string> counts;
  for (const PatchOutcome outcome : outcomes)
    if (plan.count(outcome) > 0)
      counts.push_back(std::to_string(plan.count(outcome)) + " " + outcomeText(outcome));
  out += counts.empty() ? std::string("The patch holds no change") : counts[0];
  for (size_t i = 1; i < counts.size(); ++i)
    out += (i + 1 == counts.size() ? " and " : ", ") + counts[i];
  out += ".\n";
  for (const PatchItemReport& report : plan.items) {
    if (report.outcome == PatchOutcome::Applied) continue;
    const std::string name =
        report.patchIndex < 0 ? std::string("Bytes of no item") : printable(report.name);
    out += name + ": " + outcomeText(report.outcome);
    if (!report.why.empty()) out += " (" + report.why + ")";
    out += "\n";
    const PatchItem* item =
        report.patchIndex < 0 ? nullptr : &patch.items[static_cast<size_t>(report.patchIndex)];
    for (const PatchConflict& c : report.conflicts) {
      if (!c.note.empty()) {
        out += "  " + c.note + "\n";
        continue;
      }
      const int bytes = item != nullptr && item->kind == PatchClass::Value ? item->bytes : 1;
      std::string unit = "byte " + numberToHex(static_cast<uint64_t>(c.unit));
      if (item != nullptr && item->kind == PatchClass::Flag) unit = "bit " + std::to_string(c.unit);
      if (item != nullptr && item->kind == PatchClass::Value) unit = "value";
      if (item != nullptr && (item->kind == PatchClass::Array || item->kind == PatchClass::Map))
        unit = "cell " + std::to_string(c.unit % item->cols) + " " +
               std::to_string(c.unit / item->cols);
      const auto text = [&](uint32_t v) {
        return item != nullptr && item->kind == PatchClass::Flag ? std::to_string(v)
                                                                 : rawText(v, bytes);
      };
      out += "  " + unit + ": the image holds " + text(c.found) + ", the patch expects " +
             text(c.expected) + " (to write " + text(c.wanted) + ")\n";
    }
  }
  return out;
}

int applyPlan(const PatchPlan& plan, bool rest, const std::vector<ChecksumBlock>& blocks,
              std::vector<uint8_t>& bytes) {
  if (plan.refused() || (!plan.complete() && !rest)) return 0;
  int changed = 0;
  for (const PatchWrite& w : plan.writes) {
    const auto value = static_cast<uint8_t>((bytes[w.address] & ~w.mask) | w.value);
    changed += value != bytes[w.address];
    bytes[w.address] = value;
  }
  return changed + static_cast<int>(correctChecksums(blocks, bytes).size());
}

int applyPlanToImage(const PatchPlan& plan, bool rest, const std::vector<ChecksumBlock>& blocks,
                     const std::string& patchName) {
  std::vector<uint8_t> bytes = imageBytes();
  const std::vector<uint8_t> before = bytes;
  const int changed = applyPlan(plan, rest, blocks, bytes);
  if (changed == 0) return 0;
  const ImageAction action("Apply patch " + patchName);
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != before[i]) writeImageByte(static_cast<int64_t>(i), bytes[i]);
  return changed;
}

}  // namespace trimlet
