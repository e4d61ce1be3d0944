#include "core/ecu_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "core/bin_file.h"
#include "core/file_read.h"
#include "core/hex.h"
#include "core/text.h"

namespace trimlet {

namespace {

// The letters and digits of a key in upper case: "Address", "ADDR " and "addr." compare alike.
std::string letters(std::string_view key) {
  std::string out;
  for (const char c : upper(key))
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) out += c;
  return out;
}

// Keys are free text; two name the same field when they share their first three letters or
// digits ("Addr" and "Address", "Columns" and "Cols").
bool sameFieldName(std::string_view key, std::string_view name) {
  const std::string a = letters(key);
  const std::string b = letters(name);
  const auto [differ, ignored] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return differ - a.begin() >= 3;
}

// Places of the item fields the check looks at.
constexpr int kAddress = 0;
constexpr int kCols = 1;
constexpr int kRows = 2;
constexpr int kBytes = 3;
constexpr int kKind = 4;
constexpr int kName = 8;

// "1 item", "3 items".
std::string counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// The editor's messages in the order it shows them, as a message ends with them.
std::string showsText(const std::vector<std::string>& shows) {
  std::string text;
  for (size_t i = 0; i < shows.size(); ++i)
    text += (i == 0 ? ": the editor shows \"" : ", then \"") + shows[i] + "\"";
  return text;
}

ItemClass classOf(const ECU_Item& item) {
  if (isFlagByte(item)) return isMap(item) ? ItemClass::FlagByteAndMap : ItemClass::FlagByte;
  if (isSingleValue(item)) return ItemClass::Value;
  if (isArray(item)) return ItemClass::Array;
  if (isMap(item)) return ItemClass::Map;
  return ItemClass::None;
}

// How many of the editor's lists an item of the class appears in.
int listsOf(ItemClass itemClass) {
  switch (itemClass) {
    case ItemClass::None:
      return 0;
    case ItemClass::FlagByteAndMap:
      return 2;
    default:
      return 1;
  }
}

const char* fieldName(const FieldRead& read) {
  return read.item == 0 ? kHeaderFieldNames[static_cast<size_t>(read.field)]
                        : kItemFieldNames[static_cast<size_t>(read.field)];
}

std::string keyOf(std::string_view source) {
  return std::string(trim(source.substr(0, source.find('='))));
}

class Checker {
 public:
  Checker(std::string_view text, std::optional<int64_t> binBytes)
      : text_(text), binBytes_(binBytes), content_(std::make_unique<EcuContent>()) {
    read_ = readEcuText(text, content_->target(), &trace_);
  }

  EcuReport run() {
    collectItems();
    decideClasses();
    decideShows();
    reportReadStop();
    reportCount();
    reportClasses();
    placeItems();
    reportOverlaps();
    reportHints();
    reportUnreadItems();
    reportChecksums();
    std::stable_sort(report_.problems.begin(), report_.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.at < b.at; });
    return std::move(report_);
  }

 private:
  [[nodiscard]] bool headerComplete() const {
    return trace_.fields.size() >= kHeaderFields && trace_.fields[kHeaderFields - 1].converted;
  }

  [[nodiscard]] TextPosition fieldAt(int item, int field) const {
    const CheckedItem& checked = report_.items[static_cast<size_t>(item)];
    return static_cast<size_t>(field) < checked.fields.size()
               ? checked.fields[static_cast<size_t>(field)].at
               : checked.at;
  }

  [[nodiscard]] TextPosition countAt() const { return fieldAt(0, kHeaderFields - 1); }

  [[nodiscard]] const ECU_Item& itemOf(const CheckedItem& checked) const {
    return content_->items[static_cast<size_t>(checked.number)];
  }

  void add(Severity severity, TextPosition at, int item, std::string message,
           std::vector<std::string> shows = {}) {
    report_.problems.push_back({severity, at, item, std::move(message), std::move(shows)});
  }

  void collectItems() {
    for (size_t k = 0; k < trace_.braces.size(); ++k) {
      CheckedItem& item = report_.items.emplace_back();
      item.number = static_cast<int>(k);
      item.at = trace_.braces[k];
    }
    for (const FieldRead& read : trace_.fields) {
      CheckedItem& item = report_.items[static_cast<size_t>(read.item)];
      item.fields.push_back(
          {fieldName(read), read.source.at, keyOf(read.source.text), std::string(read.value)});
    }
  }

  void decideClasses() {
    for (CheckedItem& checked : report_.items) {
      if (checked.number == 0) continue;
      const ECU_Item& item = itemOf(checked);
      checked.itemClass = classOf(item);
      if (checked.itemClass == ItemClass::FlagByteAndMap) {
        checked.classNote = "Kind 80 makes it a flag byte, and Cols " + std::to_string(item.Cols) +
                            " x Rows " + std::to_string(item.Rows) + " a map";
      } else if (checked.itemClass == ItemClass::None) {
        checked.classNote =
            item.Kind != 0 && item.Kind != 80
                ? "Kind " + std::to_string(item.Kind) +
                      " is neither 0 nor 80, which only a map (more than one "
                      "column and row) may have"
            : item.Cols < 1
                ? "Cols " + std::to_string(item.Cols) + ": an item needs at least one column"
                : "Rows " + std::to_string(item.Rows) + ": an item needs at least one row";
      }
    }
  }

  // The editor's sum over its four lists must give the declared count (items the read did not
  // reach are empty and in no list).
  void decideShows() {
    if (read_.outcome == ParseOutcome::Rejected) {
      report_.shows = {read_.message};
      return;
    }
    if (read_.outcome == ParseOutcome::ItemError) report_.shows.push_back(kEcuFileError);
    int listed = 0;
    const int last = std::min<int>(content_->count, kMaxItems);
    for (int i = 1; i <= last; ++i)
      listed += listsOf(classOf(content_->items[static_cast<size_t>(i)]));
    mismatch_ = listed != content_->count;
    if (mismatch_) report_.shows.push_back(kErrorInEcuFile);
  }

  void reportReadStop() {
    switch (trace_.stop) {
      case ReadStop::None:
        return;
      case ReadStop::NoFormat:
        add(Severity::Error, trace_.format ? trace_.format->at : TextPosition{}, -1,
            trace_.format
                ? "the first item " + inQuotes(trace_.format->text) + " lacks the word FORMAT"
                : "the file holds no item: its first must contain the word FORMAT",
            report_.shows);
        break;
      case ReadStop::FileEnds:
        reportFileEnd();
        break;
      case ReadStop::NotANumber:
        reportNumber(trace_.fields.back());
        break;
      case ReadStop::TooManyItems:
        add(Severity::Error, countAt(), 0,
            "Items " + std::to_string(content_->count) + ": Trimlet reads at most " +
                std::to_string(kMaxItems) + " items",
            report_.shows);
        break;
    }
  }

  void reportFileEnd() {
    const size_t braces = trace_.braces.size();
    if (braces == 0) {
      add(Severity::Error, trace_.fileEnd, -1, "the file ends before a \"{\" item opens the header",
          report_.shows);
      return;
    }
    const CheckedItem& last = report_.items.back();
    const int total = last.number == 0 ? kHeaderFields : kItemFields;
    if (static_cast<int>(last.fields.size()) == total) {
      // The last item is whole: the file ends before the next one opens.
      add(Severity::Error, countAt(), 0,
          "Items " + std::to_string(content_->count) + ": the file holds only " +
              counted(static_cast<int>(braces - 1), "item"),
          report_.shows);
      return;
    }
    const size_t missing = last.fields.size();
    const char* name = last.number == 0 ? kHeaderFieldNames[missing] : kItemFieldNames[missing];
    const std::string part =
        last.number == 0 ? "the header" : "item " + std::to_string(last.number);
    add(Severity::Error, trace_.fileEnd, last.number,
        "the file ends before field " + std::to_string(missing + 1) + " of " +
            std::to_string(total) + " (" + name + ") of " + part + ", which opens at line " +
            std::to_string(last.at.line),
        report_.shows);
  }

  void reportNumber(const FieldRead& read) {
    std::string message = fieldName(read);
    if (read.source.text.find('=') == std::string_view::npos)
      message +=
          ": the item " + inQuotes(read.source.text) + " has no \"=\", so it gives no number";
    else if (trim(read.value).empty())
      message += ": the value is empty, and a number is needed";
    else if (toReal(read.value))
      message += " " + inQuotes(read.value) + " is outside -32768..32767";
    else
      message += " " + inQuotes(read.value) + " is not a number";
    add(Severity::Error, read.source.at, read.item, message, report_.shows);
  }

  void reportCount() {
    if (!headerComplete() || content_->count >= 0) return;
    add(Severity::Error, countAt(), 0,
        "Items " + std::to_string(content_->count) + ": a count below 0 never matches the items",
        {kErrorInEcuFile});
  }

  void reportClasses() {
    for (const CheckedItem& checked : report_.items) {
      if (checked.number == 0 || checked.fields.size() < kItemFields) continue;
      if (listsOf(checked.itemClass) == 1) continue;
      const ECU_Item& item = itemOf(checked);
      const bool none = checked.itemClass == ItemClass::None;
      // The field that decides: Kind unless a size is below 1.
      const int field = !none || (item.Kind != 0 && item.Kind != 80) ? kKind
                        : item.Cols < 1                              ? kCols
                                                                     : kRows;
      std::string message = (none ? "in no class: " : "in two classes: ") + checked.classNote;
      if (!mismatch_)
        message += none ? "; the editor lists it nowhere" : "; the editor lists it twice";
      add(mismatch_ ? Severity::Error : Severity::Warning, fieldAt(checked.number, field),
          checked.number, message,
          mismatch_ ? std::vector<std::string>{kErrorInEcuFile} : std::vector<std::string>{});
    }
  }

  void placeItems() {
    const int64_t fileBytes = binBytes_.value_or(kMaxBinFileBytes);
    for (CheckedItem& checked : report_.items) {
      if (checked.number == 0 || checked.itemClass == ItemClass::None) continue;
      const ECU_Item& item = itemOf(checked);
      // A flag byte that is also a map is on both tabs; as a map it covers the most bytes.
      const bool table =
          checked.itemClass != ItemClass::FlagByte && checked.itemClass != ItemClass::Value;
      const RangeProblem problem =
          (table ? tableRecords(item, fileBytes) : itemRecords(item, fileBytes)).problem;
      if (problem == RangeProblem::ValueBytes) {
        add(Severity::Warning, fieldAt(checked.number, kBytes), checked.number,
            "Bytes " + std::to_string(item.Bytes) + ": Trimlet edits values of 1 to " +
                std::to_string(kMaxValueBytes) + " bytes, so the item cannot be edited");
      } else if (problem == RangeProblem::TableSize) {
        const bool cols = item.Cols > kMaxTableCells;
        add(Severity::Warning, fieldAt(checked.number, cols ? kCols : kRows), checked.number,
            std::string(cols ? "Cols " : "Rows ") + std::to_string(cols ? item.Cols : item.Rows) +
                ": a table has at most " + std::to_string(kMaxTableCells) +
                (cols ? " columns" : " rows") + ", so the item cannot be shown");
      } else {
        const int64_t bytes = table ? int64_t{item.Cols} * item.Rows
                              : checked.itemClass == ItemClass::Value ? item.Bytes
                                                                      : 1;
        place(checked, bytes, problem);
      }
    }
  }

  // Notes where the item's `bytes` bytes lie, and why the editor cannot use them.
  void place(CheckedItem& checked, int64_t bytes, RangeProblem problem) {
    const std::string& address = itemOf(checked).Address;
    const auto first = hexToNumber(address);
    if (first && *first <= UINT64_MAX - static_cast<uint64_t>(bytes - 1))
      checked.range = ByteRange{*first, *first + static_cast<uint64_t>(bytes - 1)};
    const TextPosition at = fieldAt(checked.number, kAddress);
    if (problem == RangeProblem::NotHexadecimal) {
      add(Severity::Warning, at, checked.number,
          "Address " + inQuotes(address) +
              " is not a hexadecimal number, so the item cannot be shown");
    } else if (problem == RangeProblem::BeyondFile) {
      const std::string where = checked.range ? "the item lies at " + rangeText(*checked.range)
                                              : "Address " + inQuotes(address) + " lies";
      const std::string end =
          binBytes_ ? "the end of the BIN file (" + std::to_string(*binBytes_) + " bytes)"
                    : "the largest BIN file Trimlet holds (" + std::to_string(kMaxBinFileBytes) +
                          " bytes)";
      add(Severity::Warning, at, checked.number,
          where + ", beyond " + end + ", so the item cannot be shown");
    }
  }

  // Flags and values may share bytes on purpose, so an overlap is only a warning; each item
  // names the first earlier item it shares bytes with.
  void reportOverlaps() {
    for (size_t j = 0; j < report_.items.size(); ++j) {
      const CheckedItem& later = report_.items[j];
      if (!later.range) continue;
      const CheckedItem* first = nullptr;
      int others = 0;
      for (size_t i = 0; i < j; ++i) {
        const CheckedItem& earlier = report_.items[i];
        if (!earlier.range || earlier.range->first > later.range->last ||
            later.range->first > earlier.range->last)
          continue;
        if (first == nullptr)
          first = &earlier;
        else
          ++others;
      }
      if (first == nullptr) continue;
      const ByteRange shared{std::max(first->range->first, later.range->first),
                             std::min(first->range->last, later.range->last)};
      std::string message = "shares " + rangeText(shared) + " with item " +
                            std::to_string(first->number) + " " + inQuotes(first->name()) +
                            " (line " + std::to_string(first->at.line) + ")";
      if (others > 0) message += " and with " + std::to_string(others) + " more";
      add(Severity::Warning, fieldAt(later.number, kAddress), later.number, message);
    }
  }

  // Hints, never errors: a key that names another field (a field missing or extra before
  // it), an item without "=" where text is read, a quoted value that a comma cuts short, a
  // field item left over after the fields of an item.
  void reportHints() {
    int hinted = -1;  // one key hint a part: a shift moves every later key of it
    const FieldRead* previous = nullptr;
    for (const FieldRead& read : trace_.fields) {
      const std::string_view source = read.source.text;
      const size_t eq = source.find('=');
      if (eq == std::string_view::npos) {
        if (read.converted) hintNoEquals(read, previous);
      } else {
        if (source.substr(eq).find(',') != std::string_view::npos)
          add(Severity::Note, read.source.at, read.item,
              std::string(fieldName(read)) + " ends at its first comma: " +
                  inQuotes(source.substr(eq + 1 + read.value.size())) + " is not read");
        if (hinted != read.item && hintShiftedKey(read)) hinted = read.item;
      }
      previous = &read;
    }
    for (const EcuTrace::Leftover& left : trace_.leftovers) {
      const int fields = left.item == 0 ? kHeaderFields : kItemFields;
      add(Severity::Note, left.field.at, left.item,
          inQuotes(left.field.text) + " after the " + std::to_string(fields) + " fields of " +
              (left.item == 0 ? std::string("the header") : "item " + std::to_string(left.item)) +
              " is not read: is a field extra before it?");
    }
  }

  // A text field read from an item without "=". A brace taken so means the part lacks fields
  // (and the next item may be skipped): a warning.
  void hintNoEquals(const FieldRead& read, const FieldRead* previous) {
    const std::string_view item = trim(read.source.text);
    if (item == "{" || item == "}") {
      add(Severity::Warning, read.source.at, read.item,
          inQuotes(item) + " is read as " + fieldName(read) +
              ": the fields before it are fewer than the " +
              std::to_string(read.item == 0 ? kHeaderFields : kItemFields) + " needed");
      return;
    }
    std::string message =
        "the item " + inQuotes(item) + " has no \"=\", so " + fieldName(read) + " is read as empty";
    if (previous != nullptr && previous->source.at.line == read.source.at.line)
      message += "; a comma ends a value and starts a new item";
    add(Severity::Note, read.source.at, read.item, message);
  }

  bool hintShiftedKey(const FieldRead& read) {
    const std::string key = keyOf(read.source.text);
    const char* meant = shiftedName(key, read.item == 0, fieldName(read));
    if (meant == nullptr) return false;
    add(Severity::Note, read.source.at, read.item,
        "the key " + inQuotes(key) + " looks like " + meant + ", but " + fieldName(read) +
            " is read here: is a field missing or extra before it?");
    return true;
  }

  // The field a key names when that is not the field its place stands for; nullptr else.
  static const char* shiftedName(std::string_view key, bool header, const char* expected) {
    // Four header texts are free: only the title, version and count have names.
    const bool free = header && std::strncmp(expected, "Text", 4) == 0;
    if (!free && sameFieldName(key, expected)) return nullptr;
    if (header) {
      for (const char* name : {kHeaderFieldNames[0], kHeaderFieldNames[1], kHeaderFieldNames[6]})
        if (name != expected && sameFieldName(key, name)) return name;
      return nullptr;
    }
    for (const char* name : kItemFieldNames)
      if (name != expected && sameFieldName(key, name)) return name;
    return nullptr;
  }

  void reportUnreadItems() {
    if (trace_.unreadItems == 0) return;
    std::string message = "this item is not read: the header declares " +
                          counted(content_->count, "item") + " (line " +
                          std::to_string(countAt().line) + ")";
    if (trace_.unreadItems > 1)
      message += ", and " + std::to_string(trace_.unreadItems - 1) + " more follow";
    add(Severity::Warning, trace_.firstUnread, -1, message);
  }

  void reportChecksums() {
    report_.checksums =
        readChecksumSection(text_, trace_.itemsEnd, binBytes_.value_or(kMaxBinFileBytes));
    for (const ChecksumFinding& finding : report_.checksums.findings) {
      add(finding.severity, finding.at, -1, finding.message);
      report_.problems.back().aboutChecksums = true;
    }
  }

  std::string_view text_;
  std::optional<int64_t> binBytes_;
  std::unique_ptr<EcuContent> content_;
  EcuTrace trace_;
  ParseResult read_;
  bool mismatch_ = false;
  EcuReport report_;
};

// Each block's values over the BIN file's bytes, when the section allows computing them.
void reportChecksumValues(CheckedFiles& check, std::string_view binBytes) {
  EcuReport& report = check.report;
  if (!report.checksums.usable()) return;
  const std::vector<ChecksumBlock>& blocks = report.checksums.blocks;
  check.checksumValues = checkChecksums(
      blocks, std::span(reinterpret_cast<const uint8_t*>(binBytes.data()), binBytes.size()));
  for (size_t i = 0; i < blocks.size(); ++i) {
    const ChecksumValue& value = check.checksumValues[i];
    const int size = blocks[i].size;
    Problem problem{value.ok() ? Severity::Note : Severity::Error,
                    blocks[i].at,
                    -1,
                    "checksum " + inQuotes(blocks[i].name) + (value.ok() ? " OK" : " BAD") +
                        ": stored " + checksumText(value.stored, size) + ", computed " +
                        checksumText(value.computed, size),
                    {}};
    problem.aboutChecksums = true;
    report.problems.push_back(std::move(problem));
  }
  std::stable_sort(report.problems.begin(), report.problems.end(),
                   [](const Problem& a, const Problem& b) { return a.at < b.at; });
}

// A problem with a whole file stops the opening before the ECU file is read: what the editor
// shows is that problem's message alone.
void refuse(EcuReport& report, Problem problem) {
  report.shows = problem.shows;
  report.problems.insert(report.problems.begin(), std::move(problem));
}

}  // namespace

std::string CheckedItem::name() const {
  return fields.size() > kName && number > 0 ? fields[kName].value : std::string();
}

int EcuReport::count(Severity severity) const {
  return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                        [&](const Problem& p) { return p.severity == severity; }));
}

EcuReport checkEcu(std::string_view text, std::optional<int64_t> binBytes) {
  return Checker(text, binBytes).run();
}

CheckedFiles checkFiles(const std::string& ecuPath, const std::string& binPath) {
  CheckedFiles check;
  std::optional<int64_t> binBytes;
  std::string binRefused;  // what the editor says of a BIN file too large for it
  FileBytes bin;
  if (!binPath.empty()) {
    const auto limit = static_cast<size_t>(kMaxBinFileBytes);
    bin = readFileBytes(binPath, limit);
    if (bin.problem == ReadProblem::TooLarge)
      binRefused = readFailure("BIN file", binPath, bin, limit);
    else if (bin.problem != ReadProblem::None)
      check.binFailure = readFailure("BIN file", binPath, bin, limit);
    else
      binBytes = static_cast<int64_t>(bin.bytes.size());
  }
  FileBytes ecu = readFileBytes(ecuPath, kMaxTextFileBytes);
  if (ecu.problem == ReadProblem::TooLarge) {
    // The editor refuses it unread, with a message: an error, not a file that cannot be read.
    refuse(check.report, {Severity::Error,
                          {0, 0},
                          -1,
                          "the file holds more than the " + std::to_string(kMaxTextFileBytes) +
                              " bytes an ECU file may have",
                          {readFailure("ECU file", ecuPath, ecu, kMaxTextFileBytes)}});
  } else if (ecu.problem != ReadProblem::None) {
    check.ecuFailure = readFailure("ECU file", ecuPath, ecu, kMaxTextFileBytes);
    return check;
  } else {
    check.text = std::move(ecu.bytes);
    check.report = checkEcu(check.text, binBytes);
    if (binBytes) reportChecksumValues(check, bin.bytes);
  }
  // Listed in the order the editor meets them: the BIN file loads before the ECU file is read,
  // and the main window checks the ECU file's name before either.
  if (!binRefused.empty()) {
    Problem problem{Severity::Error,
                    {0, 0},
                    -1,
                    "the BIN file holds more than " + std::to_string(kMaxBinFileBytes) +
                        " bytes, the most Trimlet holds",
                    {binRefused}};
    problem.aboutBin = true;
    refuse(check.report, std::move(problem));
  }
  if (upper(ecuPath.size() >= 4 ? ecuPath.substr(ecuPath.size() - 4) : ecuPath) != ".ECU") {
    refuse(check.report,
           {Severity::Error, {0, 0}, -1, "the name does not end in \".ecu\"", {kIncorrectEcuName}});
  }
  return check;
}

const char* severityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      return "note";
  }
  return "";
}

const char* className(ItemClass itemClass) {
  switch (itemClass) {
    case ItemClass::None:
      return "none";
    case ItemClass::FlagByte:
      return "flag byte";
    case ItemClass::Value:
      return "value";
    case ItemClass::Array:
      return "array";
    case ItemClass::Map:
      return "map";
    case ItemClass::FlagByteAndMap:
      return "flag byte and map";
  }
  return "";
}

std::string problemText(const Problem& problem) {
  return problem.message + showsText(problem.shows);
}

std::string summaryText(const EcuReport& report) {
  return counted(report.count(Severity::Error), "error") + ", " +
         counted(report.count(Severity::Warning), "warning") + showsText(report.shows);
}

}  // namespace trimlet
