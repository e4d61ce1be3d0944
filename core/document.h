// What an editor or a viewer window works on: its two files, the image and items read from them,
// the reference image the editor compares with, and the history of the user's actions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/checksum_section.h"
#include "core/compare.h"
#include "core/image.h"
#include "core/journal.h"
#include "core/state.h"

namespace trimlet {

// A message the window that opens a document shows, in the user's words.
struct Notice {
  std::string text;
  bool critical = false;
  std::string details;  // behind the message's "Show Details..." button
};

// How an open went: the notices to show in order, and whether the window can go on.
struct Opening {
  bool usable = false;
  std::vector<Notice> notices;
};

// The image and the items live in the core's tables (BIN_Data, ECU_Items ...), which the file
// procedures fill; a document reaches them for its window, so that no window names them. A
// window owns one and hands it to its panels.
class Document {
 public:
  Document(std::string binPath, std::string ecuPath);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  [[nodiscard]] const std::string& binPath() const { return binPath_; }
  [[nodiscard]] const std::string& ecuPath() const { return ecuPath_; }

  // Loads the image with Load_BIN and parses the items with Parse_ECU (which read the paths
  // from BIN_Path and ECU_Path, set here to the document's). A refused BIN file or a rejected
  // ECU file leaves it unusable; a broken item gives "ECU File Error" and goes on. The image as
  // opened is the first reference.
  [[nodiscard]] Opening open();

  // The number of items the ECU file declares, and those that can be read (at most 300).
  [[nodiscard]] int declaredItems() const;
  [[nodiscard]] int itemCount() const;
  // Item `number` (1..itemCount()), and the records its panel shows, resolved once an open.
  [[nodiscard]] const ECU_Item& item(int number) const;
  [[nodiscard]] const RecordRange& itemRange(int number) const;

  // Records the load filled (BIN_Size) and bytes it read (BIN_FileBytes).
  [[nodiscard]] double recordCount() const;
  [[nodiscard]] int64_t fileBytes() const;
  // Every byte of the file as the document opened it.
  [[nodiscard]] const std::vector<uint8_t>& opened() const { return opened_; }

  // Reads the checksum section after the items of the ECU file, apart from their parse, so that
  // nothing in it can change an item; one with errors gives a notice (the items work as ever).
  [[nodiscard]] std::vector<Notice> readChecksums();
  // The checksum section read; without `at` when the ECU file has none.
  [[nodiscard]] const ChecksumSection& checksums() const { return checksums_; }
  // One sentence for each checksum block that `bytes` (an image of the BIN file) does not hold
  // right: 'The checksum "Fuel" of /a.bin is BAD (stored 0012, computed 0013).' Empty when every
  // block is OK or the section cannot be computed.
  [[nodiscard]] std::string badChecksums(std::span<const uint8_t> bytes) const;

  [[nodiscard]] Comparison& reference() { return reference_; }
  [[nodiscard]] const Comparison& reference() const { return reference_; }
  // Each of the user's actions that changed a byte, recorded as it ends.
  [[nodiscard]] Journal& history() { return history_; }
  [[nodiscard]] const Journal& history() const { return history_; }

 private:
  std::string binPath_;
  std::string ecuPath_;
  std::vector<uint8_t> opened_;
  std::vector<RecordRange> ranges_;  // by item number
  ChecksumSection checksums_;
  Comparison reference_;
  Journal history_;
  ImageSubscription recording_;
};

// For the details of an ECU message box: the first problem of the file at `ecuPath` that makes
// the editor show `message`, with its line; empty when the check finds none.
[[nodiscard]] std::string ecuProblemDetails(const std::string& ecuPath, const std::string& message);

}  // namespace trimlet
