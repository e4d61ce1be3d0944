// Checksum blocks over the image: sums, XORs and CRCs, what each stores and what it should store,
// and the bytes that correct them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/ecu_file.h"
#include "core/hex.h"

namespace trimlet {

enum class ChecksumAlgorithm { Sum, Xor, Crc };
enum class ByteOrder { Big, Little };
// How a sum or XOR is stored: as it is, negated (so that the whole range sums to zero), or with
// every bit inverted.
enum class ResultForm { Plain, Negated, Inverted };

// The parameter model catalogues of CRCs use (width, polynomial, initial value, reflect in,
// reflect out, final XOR): any catalogued CRC of 1 to 32 bits can be declared with it.
struct CrcModel {
  int width = 32;
  uint32_t poly = 0;
  uint32_t init = 0;
  bool refIn = false;
  bool refOut = false;
  uint32_t xorOut = 0;
};

// A field of a checksum block as written: its key, its value and where the key starts.
struct BlockField {
  std::string key;
  std::string value;
  TextPosition at;
};

// One block of the checksum section, complete and valid.
struct ChecksumBlock {
  std::string name;
  TextPosition at;                  // its "{"
  std::vector<BlockField> fields;   // in file order
  std::vector<ByteRange> ranges;    // as declared
  std::vector<ByteRange> excluded;  // as declared
  // The bytes it covers in address order: the ranges without the excluded bytes and without
  // its own result, each run a whole number of words.
  std::vector<ByteRange> covered;
  uint64_t store = 0;                // where the result lies
  int size = 4;                      // 1, 2 or 4 bytes
  ByteOrder order = ByteOrder::Big;  // of the stored result and of the words summed
  ChecksumAlgorithm algorithm = ChecksumAlgorithm::Sum;
  int word = 1;  // bytes per unit of a sum or XOR: 1, 2 or 4
  ResultForm form = ResultForm::Plain;
  CrcModel crc;

  [[nodiscard]] ByteRange result() const {
    return {store, store + static_cast<uint64_t>(size) - 1};
  }
  // Bits of the result: the CRC's width, else the stored size's.
  [[nodiscard]] int width() const;
};

// The CRC of `bytes` under `model`, computed with a table built from the model.
[[nodiscard]] uint32_t crcOf(const CrcModel& model, std::span<const uint8_t> bytes);

// A block's result as stored in the image and as computed.
struct ChecksumValue {
  uint32_t stored = 0;
  uint32_t computed = 0;
  bool fits = true;  // false: the block reaches past the end of the image and is not computed
  [[nodiscard]] bool ok() const { return fits && stored == computed; }
};

// Each block's stored and computed result over the image as it is, in file order.
[[nodiscard]] std::vector<ChecksumValue> checkChecksums(const std::vector<ChecksumBlock>& blocks,
                                                        std::span<const uint8_t> image);

// One byte a correction writes.
struct ChecksumWrite {
  uint64_t address = 0;
  uint8_t value = 0;
  bool operator==(const ChecksumWrite&) const = default;
};

// Corrects the blocks in file order, each computed over `bytes` as the blocks before it left
// them (so a later block may cover an earlier one's result), writing each result into `bytes`.
// Returns the bytes that changed, in the order written; a block that does not fit is skipped.
std::vector<ChecksumWrite> correctChecksums(const std::vector<ChecksumBlock>& blocks,
                                            std::span<uint8_t> bytes);

// The name of the action that corrects the checksums in the image.
inline constexpr char kChecksumsCorrected[] = "Checksums corrected";

// Corrects the blocks in the loaded image through its write path, as one action named
// kChecksumsCorrected; returns the number of bytes that changed (0: the action changed nothing).
int correctImageChecksums(const std::vector<ChecksumBlock>& blocks);

// The value as the stored bytes read in hexadecimal: two digits a byte ("001B7A0C").
[[nodiscard]] std::string checksumText(uint32_t value, int size);

}  // namespace trimlet
