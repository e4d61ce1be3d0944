// The checksum section of an ECU file: after the items, a line "Checksums", then blocks in
// braces of named fields (key=value, one a line), which say what each checksum covers, how it
// is computed and where its result is stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/checksum.h"
#include "core/ecu_file.h"

namespace trimlet {

struct ChecksumFinding {
  Severity severity = Severity::Error;
  TextPosition at;
  std::string message;
};

struct ChecksumSection {
  std::optional<TextPosition> at;         // its "Checksums" line; nullopt: the file has none
  std::vector<ChecksumBlock> blocks;      // the blocks written without a fault, in file order
  std::vector<ChecksumFinding> findings;  // in file order

  // Without an error its blocks may be computed and corrected; with one, none may: a block
  // left out could leave another one wrong.
  [[nodiscard]] bool usable() const;
};

// Reads the section of ECU text whose items end at byte `itemsEnd` (EcuTrace::itemsEnd),
// checking every address against an image of `imageBytes` bytes.
[[nodiscard]] ChecksumSection readChecksumSection(std::string_view text, size_t itemsEnd,
                                                  int64_t imageBytes);

// The same for ECU text whose items have not been read: they are read as Parse_ECU reads them,
// apart from the shared state, to learn where they end.
[[nodiscard]] ChecksumSection readChecksumSection(std::string_view text, int64_t imageBytes);

// The words the section writes these with: "sum", "big", "negated".
[[nodiscard]] const char* keywordOf(ChecksumAlgorithm algorithm);
[[nodiscard]] const char* keywordOf(ByteOrder order);
[[nodiscard]] const char* keywordOf(ResultForm form);

}  // namespace trimlet
