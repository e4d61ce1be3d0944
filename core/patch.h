// A tune as a patch file: the changes from a reference image to a tuned one, item by item, in a
// text a person can read and a version-control system can diff; and how such a patch lands on
// another image, found by the items' names. The format is described in docs/patch-format.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/checksum.h"
#include "core/state.h"

namespace trimlet {

// The format's version this program writes and reads.
inline constexpr int kPatchVersion = 1;
// Largest patch file read: a tune of every map of the largest image is well below it.
inline constexpr size_t kMaxPatchBytes = 16 * 1024 * 1024;

enum class PatchClass { Flag, Value, Array, Map };

// An item's class as the patch names it; nullopt for an item of no class (no panel shows it).
[[nodiscard]] std::optional<PatchClass> patchClassOf(const ECU_Item& item);
[[nodiscard]] const char* keywordOf(PatchClass kind);

// One changed bit (unit = bit 0..7), value (unit 0; the number, first byte most significant),
// cell (unit = column + Cols × row) or byte of no item (unit = its address).
struct PatchChange {
  int64_t unit = 0;
  uint32_t before = 0;
  uint32_t after = 0;
  bool operator==(const PatchChange&) const = default;
};

struct PatchItem {
  std::string name;  // as the ECU file writes it
  PatchClass kind = PatchClass::Value;
  uint64_t address = 0;
  int cols = 1;  // tables: columns and rows; a flag byte or a value: 1 and 1
  int rows = 1;
  int bytes = 1;                     // a value's bytes; 1 for the others
  std::vector<PatchChange> changes;  // in unit order (a flag byte's bits from 7 down)
  size_t line = 0;                   // where a read patch writes it
  // The rule of its calculated values, which the file shows beside the raw ones for a person
  // (the diff knows it; a read patch does not).
  std::optional<ECU_Item> shownAs;
  // Bytes the item covers.
  [[nodiscard]] int64_t size() const { return kind == PatchClass::Value ? bytes : cols * rows; }
};

struct Patch {
  int64_t referenceLength = 0;
  std::string referenceSha;  // 64 lower-case hexadecimal digits
  int64_t resultLength = 0;
  std::string resultSha;
  std::string ecuName;  // the ECU file's name, without its folder
  std::string ecuSha;
  std::vector<PatchItem> items;    // in the ECU file's order
  std::vector<PatchChange> bytes;  // bytes of no item, in address order
};

// An item of an ECU file as the diff and the apply see it: its fields and its bytes in an
// image of the file's length.
struct PatchItemSource {
  const ECU_Item* item = nullptr;
  RecordRange range;
};

// The ECU file a patch is made with or applied through: its name and hash, and its checksum
// blocks (whose results are never part of a patch: they are recomputed).
struct PatchEcu {
  std::string name;
  std::string sha;
  std::vector<ChecksumBlock> blocks;
  std::string problem;  // why the file cannot be used; empty when it can
};

// Reads the ECU file at `path` for a patch over an image of `imageBytes` bytes. Blocks come
// only from a checksum section without an error.
[[nodiscard]] PatchEcu readPatchEcu(const std::string& path, int64_t imageBytes);

// The items of the loaded ECU file (ECU_Items 1..ECU_Count, at most 300) over the loaded image.
[[nodiscard]] std::vector<PatchItemSource> loadedItems();

// The changes from `reference` to `current` (of the same length): each changed item's bits,
// value or cells, and the bytes of no item; the checksum results of `ecu` left out.
[[nodiscard]] Patch diffImages(const std::vector<uint8_t>& reference,
                               const std::vector<uint8_t>& current,
                               const std::vector<PatchItemSource>& items, const PatchEcu& ecu);

// The patch as its file holds it.
[[nodiscard]] std::string formatPatch(const Patch& patch);

// A read patch, or why it is refused: the line (0 for the whole file) and the reason.
struct PatchRead {
  Patch patch;
  size_t line = 0;
  std::string problem;
  [[nodiscard]] bool ok() const { return problem.empty(); }
};

[[nodiscard]] PatchRead parsePatch(std::string_view text);
// Reads the file at `path`: a regular file of at most kMaxPatchBytes (a pipe, a device or a
// link to one is refused unread), then parsePatch.
[[nodiscard]] PatchRead readPatchFile(const std::string& path);
// "tune.patch, line 12: …" or "tune.patch: …".
[[nodiscard]] std::string patchProblemText(const std::string& path, const PatchRead& read);

// What became of one item of a patch (or of its bytes of no item) on the open image.
enum class PatchOutcome { Applied, AlreadyThere, Conflicting, Missing, OtherShape, Ambiguous };
[[nodiscard]] const char* outcomeText(PatchOutcome outcome);

// A change the open image does not hold the patch's reference value for (nor its new value),
// or that another item of the patch writes otherwise.
struct PatchConflict {
  int64_t unit = 0;
  uint32_t expected = 0;  // the patch's reference value
  uint32_t found = 0;     // the open image's
  uint32_t wanted = 0;    // the patch's new value
  std::string note;       // set when another item of the patch writes the same byte otherwise
};

struct PatchItemReport {
  std::string name;     // the patch's; empty for the bytes of no item
  int patchIndex = -1;  // its place in Patch::items; -1 for the bytes of no item
  PatchOutcome outcome = PatchOutcome::Applied;
  int target = 0;  // the item found: its position in the target's list, from 1
  uint64_t targetAddress = 0;
  std::vector<PatchConflict> conflicts;
  std::string why;  // for a missing, ambiguous or other-shaped item
};

// One byte a patch writes: the bits of `mask` set to those of `value`.
struct PatchWrite {
  uint64_t address = 0;
  uint8_t mask = 0;
  uint8_t value = 0;
};

// What applying a patch would do, worked out before anything is written.
struct PatchPlan {
  std::string refusal;  // the whole patch is refused (an image of another length)
  std::vector<PatchItemReport> items;
  // The bytes the items that apply write: every one of them, overlapping items merged.
  std::vector<PatchWrite> writes;
  // Whether every item applies or is there already, so the whole patch can be written.
  [[nodiscard]] bool complete() const;
  [[nodiscard]] bool refused() const { return !refusal.empty(); }
  [[nodiscard]] int count(PatchOutcome outcome) const;
};

// Plans `patch` over `image`, its items found in `items` by name (the address decides among
// equal names when `ecuSha` is the patch's ECU file's).
[[nodiscard]] PatchPlan planPatch(const Patch& patch, const std::vector<uint8_t>& image,
                                  const std::vector<PatchItemSource>& items,
                                  const std::string& ecuSha);

// The report as lines for a person: a summary, then each item that did not simply apply.
[[nodiscard]] std::string planText(const Patch& patch, const PatchPlan& plan);

// Writes the plan's bytes into `bytes` and corrects the blocks' checksums; returns how many
// bytes changed. A refused plan, or one not complete unless `rest`, writes nothing.
int applyPlan(const PatchPlan& plan, bool rest, const std::vector<ChecksumBlock>& blocks,
              std::vector<uint8_t>& bytes);

// The same in the loaded image, as one action (the checksums corrected within it).
int applyPlanToImage(const PatchPlan& plan, bool rest, const std::vector<ChecksumBlock>& blocks,
                     const std::string& patchName);

}  // namespace trimlet
