#include "core/checksum_section.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

#include "core/text.h"

namespace trimlet {

namespace {

enum Key {
  kName,
  kAlgorithm,
  kRange,
  kExclude,
  kStore,
  kSize,
  kOrder,
  kWord,
  kResult,
  kWidth,
  kPoly,
  kInit,
  kRefIn,
  kRefOut,
  kXorOut,
  kKeys
};
constexpr std::array<const char*, kKeys> kKeyNames = {
    "Name",   "Algorithm", "Range", "Exclude", "Store", "Size",   "Order", "Word",
    "Result", "Width",     "Poly",  "Init",    "RefIn", "RefOut", "XorOut"};
constexpr char kKnownKeys[] =
    "Name, Algorithm, Range, Exclude, Store, Size, Order, Word, Result, Width, Poly, Init, RefIn, "
    "RefOut, XorOut";
constexpr std::array<const char*, 3> kAlgorithmNames = {"sum", "xor", "crc"};
constexpr std::array<const char*, 2> kOrders = {"big", "little"};
constexpr std::array<const char*, 3> kForms = {"plain", "negated", "inverted"};

// Keys only sums and XORs have, and keys only CRCs have.
bool ofSums(int key) { return key == kWord || key == kResult; }
bool ofCrcs(int key) { return key >= kWidth; }

std::string nameOf(int key) { return kKeyNames[static_cast<size_t>(key)]; }

int keyOf(std::string_view key) {
  for (int k = 0; k < kKeys; ++k)
    if (equalsNoCase(key, nameOf(k))) return k;
  return -1;
}

// The place of the value among `names`, without regard to case; -1 for none.
template <size_t N>
int choiceOf(std::string_view value, const std::array<const char*, N>& names) {
  for (size_t i = 0; i < N; ++i)
    if (equalsNoCase(value, names[i])) return static_cast<int>(i);
  return -1;
}

std::optional<int> wholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "first-last" in hexadecimal, blanks around either allowed.
std::optional<ByteRange> rangeOf(std::string_view value) {
  const size_t dash = value.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto first = hexToNumber(value.substr(0, dash));
  const auto last = hexToNumber(value.substr(dash + 1));
  if (!first || !last) return std::nullopt;
  return ByteRange{*first, *last};
}

bool overlap(const ByteRange& a, const ByteRange& b) {
  return a.first <= b.last && b.first <= a.last;
}

// The runs without the bytes of `cut`.
std::vector<ByteRange> without(const std::vector<ByteRange>& runs, const ByteRange& cut) {
  std::vector<ByteRange> out;
  for (const ByteRange& run : runs) {
    if (!overlap(run, cut)) {
      out.push_back(run);
      continue;
    }
    if (run.first < cut.first) out.push_back({run.first, cut.first - 1});
    if (run.last > cut.last) out.push_back({cut.last + 1, run.last});
  }
  return out;
}

bool covers(const ChecksumBlock& block, const ByteRange& range) {
  return std::any_of(block.covered.begin(), block.covered.end(),
                     [&](const ByteRange& run) { return overlap(run, range); });
}

TextPosition fieldAt(const ChecksumBlock& block, int key) {
  for (const BlockField& field : block.fields)
    if (keyOf(field.key) == key) return field.at;
  return block.at;
}

std::string lineText(const TextPosition& at) { return "line " + std::to_string(at.line); }

std::string named(const ChecksumBlock& block) {
  return inQuotes(block.name) + " (" + lineText(block.at) + ")";
}

// The fields of a block between its braces.
struct Draft {
  TextPosition at;
  std::vector<BlockField> fields;
  size_t errorsBefore = 0;  // the section's errors when it opened
};

class SectionReader {
 public:
  explicit SectionReader(int64_t imageBytes) : imageBytes_(static_cast<uint64_t>(imageBytes)) {}

  ChecksumSection run(std::string_view text, size_t itemsEnd) {
    const auto start = checksumsLineAt(text, itemsEnd);
    if (!start) return {};
    LineReader lines(text);
    while (const auto line = lines.next()) {
      if (lines.offset() < *start) continue;
      const std::string_view trimmed = trim(*line);
      const TextPosition at{lines.number(), static_cast<size_t>(trimmed.data() - line->data()) + 1};
      if (!section_.at)
        section_.at = at;
      else
        read(trimmed, at);
    }
    if (draft_) error(draft_->at, "the block has no closing \"}\"");
    if (opened_ == 0) warning(*section_.at, "the section holds no block");
    checkAcrossBlocks();
    std::stable_sort(
        section_.findings.begin(), section_.findings.end(),
        [](const ChecksumFinding& a, const ChecksumFinding& b) { return a.at < b.at; });
    return std::move(section_);
  }

 private:
  void error(TextPosition at, std::string message) {
    section_.findings.push_back({Severity::Error, at, std::move(message)});
    ++errors_;
  }

  void warning(TextPosition at, std::string message) {
    section_.findings.push_back({Severity::Warning, at, std::move(message)});
  }

  // One line after the "Checksums" line: a remark, a brace or a field.
  void read(std::string_view line, TextPosition at) {
    if (line.empty() || line.front() == ';') return;
    if (line == "{") {
      if (draft_)
        error(at, "a block opens inside the block of " + lineText(draft_->at) +
                      ": a \"}\" is missing before it");
      draft_ = Draft{at, {}, errors_};
      ++opened_;
    } else if (line == "}") {
      if (draft_)
        finish(*draft_);
      else
        error(at, "this \"}\" closes no block");
      draft_.reset();
    } else if (!draft_) {
      error(at, inQuotes(line) + " lies outside the blocks: a block opens with a line \"{\"");
    } else if (const size_t eq = line.find('='); eq == std::string_view::npos) {
      error(at, inQuotes(line) + " is no field: a field is written key=value");
    } else {
      draft_->fields.push_back(
          {std::string(trim(line.substr(0, eq))), std::string(trim(line.substr(eq + 1))), at});
    }
  }

  // A hexadecimal address or value of `key`; nullopt (with an error) when it is none.
  std::optional<uint64_t> hex(const BlockField& field, int key) {
    const auto value = hexToNumber(field.value);
    if (!value)
      error(field.at, nameOf(key) + " " + inQuotes(field.value) + " is not a hexadecimal number");
    return value;
  }

  // A declared range, checked against the image.
  std::optional<ByteRange> range(const BlockField& field, int key) {
    const std::string what = nameOf(key) + " " + inQuotes(field.value);
    const auto range = rangeOf(field.value);
    if (!range) {
      error(field.at, what +
                          " is no range: write its first and last address in hexadecimal, "
                          "as 0-7FFF");
    } else if (range->first > range->last) {
      error(field.at, what + " starts after it ends");
    } else if (range->last >= imageBytes_) {
      error(field.at, what + " reaches past the end of the image (" + std::to_string(imageBytes_) +
                          " bytes)");
    } else {
      return range;
    }
    return std::nullopt;
  }

  // Checks a closed block and keeps it when nothing is wrong with it.
  void finish(const Draft& draft) {
    std::array<const BlockField*, kKeys> single{};
    std::vector<const BlockField*> ranges, excluded;
    for (const BlockField& field : draft.fields) {
      const int key = keyOf(field.key);
      if (key < 0) {
        error(field.at, "unknown key " + inQuotes(field.key) + ": a block knows " + kKnownKeys);
      } else if (key == kRange || key == kExclude) {
        (key == kRange ? ranges : excluded).push_back(&field);
      } else if (const BlockField* first = single[static_cast<size_t>(key)]; first != nullptr) {
        error(field.at, nameOf(key) + " is given twice (first at " + lineText(first->at) + ")");
      } else {
        single[static_cast<size_t>(key)] = &field;
      }
    }
    const auto field = [&](int key) { return single[static_cast<size_t>(key)]; };
    const auto missing = [&](int key, const std::string& hint) {
      error(draft.at, "the block has no " + nameOf(key) + " (" + hint + ")");
    };

    ChecksumBlock block;
    block.at = draft.at;
    block.fields = draft.fields;
    if (field(kName) == nullptr || field(kName)->value.empty())
      missing(kName, "how messages call it");
    else
      block.name = field(kName)->value;

    int algorithm = -1;
    if (field(kAlgorithm) == nullptr) {
      missing(kAlgorithm, "sum, xor or crc");
    } else if (algorithm = choiceOf(field(kAlgorithm)->value, kAlgorithmNames); algorithm < 0) {
      error(field(kAlgorithm)->at, "Algorithm " + inQuotes(field(kAlgorithm)->value) +
                                       " is unknown: write sum, xor or crc");
    }
    block.algorithm = static_cast<ChecksumAlgorithm>(std::max(algorithm, 0));
    const bool crc = block.algorithm == ChecksumAlgorithm::Crc;
    if (algorithm >= 0) {
      for (const BlockField& f : draft.fields) {
        const int key = keyOf(f.key);
        if (crc ? ofSums(key) : ofCrcs(key))
          error(f.at, nameOf(key) + " belongs to " + (crc ? "sum and xor blocks" : "crc blocks") +
                          ", not to a " + kAlgorithmNames[static_cast<size_t>(algorithm)] +
                          " block");
      }
    }

    static constexpr std::array<const char*, 3> kSizes = {"1", "2", "4"};
    const auto sizeOf = [&](int key, const char* hint) {
      const BlockField* f = field(key);
      const int choice = f != nullptr ? choiceOf(f->value, kSizes) : 0;
      if (choice < 0) error(f->at, nameOf(key) + " " + inQuotes(f->value) + ": write " + hint);
      return 1 << std::max(choice, 0);
    };
    if (field(kSize) == nullptr) missing(kSize, "the result's bytes: 1, 2 or 4");
    block.size = sizeOf(kSize, "1, 2 or 4 (bytes of the result)");
    block.word = sizeOf(kWord, "1, 2 or 4 (bytes of each unit summed)");

    if (field(kStore) == nullptr) {
      missing(kStore, "the address of the result");
    } else if (const auto store = hex(*field(kStore), kStore)) {
      block.store = *store;
      if (*store > imageBytes_ || imageBytes_ - *store < static_cast<uint64_t>(block.size))
        error(field(kStore)->at, "the " + std::to_string(block.size) + "-byte result at " +
                                     numberToHex(*store) + " reaches past the end of the image (" +
                                     std::to_string(imageBytes_) + " bytes)");
    }

    if (const BlockField* f = field(kOrder)) {
      const int order = choiceOf(f->value, kOrders);
      if (order < 0) error(f->at, "Order " + inQuotes(f->value) + ": write big or little");
      block.order = static_cast<ByteOrder>(std::max(order, 0));
    } else if (block.size > 1 || block.word > 1) {
      missing(kOrder, "big or little: the byte order of the result and of the words");
    }

    if (const BlockField* f = field(kResult)) {
      const int form = choiceOf(f->value, kForms);
      if (form < 0)
        error(f->at, "Result " + inQuotes(f->value) + ": write plain, negated or inverted");
      block.form = static_cast<ResultForm>(std::max(form, 0));
    }

    if (crc) readCrc(block, draft, single);

    for (const BlockField* f : ranges)
      if (const auto r = range(*f, kRange)) block.ranges.push_back(*r);
    for (const BlockField* f : excluded)
      if (const auto r = range(*f, kExclude)) block.excluded.push_back(*r);
    if (ranges.empty()) missing(kRange, "first-last, in hexadecimal");
    for (size_t j = 0; block.ranges.size() == ranges.size() && j < ranges.size(); ++j)
      for (size_t i = 0; i < j; ++i)
        if (overlap(block.ranges[i], block.ranges[j]))
          error(ranges[j]->at, "Range " + inQuotes(ranges[j]->value) + " shares bytes with Range " +
                                   inQuotes(ranges[i]->value) + " (" + lineText(ranges[i]->at) +
                                   ")");
    if (errors_ > draft.errorsBefore) return;

    cover(block, excluded);
    if (errors_ == draft.errorsBefore) section_.blocks.push_back(std::move(block));
  }

  // Width, Poly, Init, RefIn, RefOut and XorOut: all six, as catalogues give them.
  void readCrc(ChecksumBlock& block, const Draft& draft,
               const std::array<const BlockField*, kKeys>& single) {
    const auto field = [&](int key) { return single[static_cast<size_t>(key)]; };
    for (const int key : {kWidth, kPoly, kInit, kRefIn, kRefOut, kXorOut})
      if (field(key) == nullptr)
        error(draft.at, "the block has no " + nameOf(key) +
                            ": a crc block needs Width, Poly, Init, RefIn, RefOut and XorOut");
    if (const BlockField* f = field(kWidth)) {
      const auto width = wholeNumber(f->value);
      if (!width || *width < 1 || *width > 8 * block.size)
        error(f->at, "Width " + inQuotes(f->value) + ": write 1 to " +
                         std::to_string(8 * block.size) + " (bits of the CRC, which the " +
                         std::to_string(block.size) + "-byte result must hold)");
      else
        block.crc.width = *width;
    }
    const uint64_t mask = (uint64_t{1} << block.crc.width) - 1;
    for (const auto& [key, value] :
         {std::pair{kPoly, &block.crc.poly}, std::pair{kInit, &block.crc.init},
          std::pair{kXorOut, &block.crc.xorOut}}) {
      const BlockField* f = field(key);
      if (f == nullptr) continue;
      if (const auto number = hex(*f, key); number && *number > mask)
        error(f->at, nameOf(key) + " " + inQuotes(f->value) + " has more bits than the Width of " +
                         std::to_string(block.crc.width));
      else if (number)
        *value = static_cast<uint32_t>(*number);
    }
    static constexpr std::array<const char*, 2> kBooleans = {"false", "true"};
    for (const auto& [key, value] :
         {std::pair{kRefIn, &block.crc.refIn}, std::pair{kRefOut, &block.crc.refOut}}) {
      const BlockField* f = field(key);
      if (f == nullptr) continue;
      const int choice = choiceOf(f->value, kBooleans);
      if (choice < 0)
        error(f->at, nameOf(key) + " " + inQuotes(f->value) + ": write true or false");
      *value = choice == 1;
    }
  }

  // The bytes the block covers: its ranges in address order, adjacent ones joined, without the
  // excluded bytes and its own result.
  void cover(ChecksumBlock& block, const std::vector<const BlockField*>& excluded) {
    std::vector<ByteRange> runs = block.ranges;
    std::sort(runs.begin(), runs.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.first < b.first; });
    std::vector<ByteRange> joined;
    for (const ByteRange& run : runs) {
      if (!joined.empty() && joined.back().last + 1 == run.first)
        joined.back().last = run.last;
      else
        joined.push_back(run);
    }
    for (size_t i = 0; i < block.excluded.size(); ++i) {
      const std::vector<ByteRange> left = without(joined, block.excluded[i]);
      if (left == joined)
        warning(excluded[i]->at,
                "Exclude " + inQuotes(excluded[i]->value) + " leaves out no byte of the ranges");
      joined = left;
    }
    block.covered = without(joined, block.result());
    if (block.covered.empty()) error(block.at, "the block covers no byte but its own result");
    for (const ByteRange& run : block.covered) {
      const uint64_t bytes = run.last - run.first + 1;
      if (bytes % static_cast<uint64_t>(block.word) != 0) {
        error(fieldAt(block, kWord), "the run " + rangeText(run) + " holds " +
                                         std::to_string(bytes) + " bytes, not a whole number of " +
                                         std::to_string(block.word) + "-byte words");
        break;
      }
    }
  }

  // Results must not share bytes, and no block may cover the result of one computed after it:
  // correcting that one would leave the earlier block wrong.
  void checkAcrossBlocks() {
    const auto& blocks = section_.blocks;
    for (size_t j = 0; j < blocks.size(); ++j) {
      for (size_t i = 0; i < j; ++i) {
        const ChecksumBlock& a = blocks[i];
        const ChecksumBlock& b = blocks[j];
        if (overlap(a.result(), b.result()))
          error(fieldAt(b, kStore), "the result " + rangeText(b.result()) +
                                        " shares bytes with the result of " + named(a));
        if (covers(a, b.result()) && covers(b, a.result()))
          error(a.at, "this block and " + named(b) +
                          " each cover the other's result: no order of computing makes both right");
        else if (covers(a, b.result()))
          error(a.at, "this block covers the result of " + named(b) +
                          ", which is computed after it: declare this block after that one");
        if (a.name == b.name)
          warning(fieldAt(b, kName), "another block is named " + named(a) + " too");
      }
    }
  }

  uint64_t imageBytes_;
  ChecksumSection section_;
  std::optional<Draft> draft_;
  size_t errors_ = 0;
  int opened_ = 0;
};

}  // namespace

bool ChecksumSection::usable() const {
  return std::none_of(findings.begin(), findings.end(),
                      [](const ChecksumFinding& f) { return f.severity == Severity::Error; });
}

ChecksumSection readChecksumSection(std::string_view text, size_t itemsEnd, int64_t imageBytes) {
  return SectionReader(imageBytes).run(text, itemsEnd);
}

ChecksumSection readChecksumSection(std::string_view text, int64_t imageBytes) {
  const auto content = std::make_unique<EcuContent>();
  EcuTrace trace;
  (void)readEcuText(text, content->target(), &trace);
  return readChecksumSection(text, trace.itemsEnd, imageBytes);
}

const char* keywordOf(ChecksumAlgorithm algorithm) {
  return kAlgorithmNames[static_cast<size_t>(algorithm)];
}

const char* keywordOf(ByteOrder order) { return kOrders[static_cast<size_t>(order)]; }

const char* keywordOf(ResultForm form) { return kForms[static_cast<size_t>(form)]; }

}  // namespace trimlet
