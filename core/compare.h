// What differs between the image and a reference image: the BIN file as it was when the editor
// opened, or another file of the same length (the stock image).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/state.h"

namespace trimlet {

// A stock image read to compare with, or why it cannot be one (`problem`, in the user's words).
struct ReferenceFile {
  std::vector<uint8_t> bytes;
  std::string problem;
};

// Reads a reference image: a regular file exactly `length` bytes long, as long as the image.
[[nodiscard]] ReferenceFile readReference(const std::string& path, size_t length);

class Comparison {
 public:
  // The reference's bytes, as many as the loaded file has, and the path of the stock image they
  // were read from (empty for the BIN file as the editor opened it).
  void setReference(std::vector<uint8_t> bytes, std::string path = {}) {
    reference_ = std::move(bytes);
    path_ = std::move(path);
  }
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const std::vector<uint8_t>& bytes() const { return reference_; }
  [[nodiscard]] std::optional<int> referenceByte(int64_t index) const;

  // Whether the image's byte differs from the reference's; a byte the reference lacks differs.
  [[nodiscard]] bool differs(int64_t index) const;
  // Whether any record of a resolved range differs.
  [[nodiscard]] bool differs(const RecordRange& range) const;
  // The records of a resolved range that differ, in address order.
  [[nodiscard]] std::vector<int> differences(const RecordRange& range) const;

  struct ItemDifference {
    int item = 0;              // its number in ECU_Items
    std::vector<int> records;  // the records that differ, in address order
  };
  struct Report {
    std::vector<ItemDifference> items;  // in the ECU file's order
    std::vector<int> outside;           // differing records of no item, in address order
  };
  // Every difference: the items whose records differ, and the bytes that belong to no item.
  [[nodiscard]] Report report() const;

  // Writes the reference's bytes back into the records, through the image's one write path
  // (so within the caller's action).
  void revert(const std::vector<int>& records) const;

 private:
  std::vector<uint8_t> reference_;
  std::string path_;
};

}  // namespace trimlet
