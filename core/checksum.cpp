#include "core/checksum.h"

#include <array>

#include "core/image.h"
#include "core/text.h"

namespace trimlet {

namespace {

uint32_t maskOf(int width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1; }

uint32_t reflect(uint32_t value, int width) {
  uint32_t out = 0;
  for (int i = 0; i < width; ++i)
    if ((value >> i) & 1u) out |= 1u << (width - 1 - i);
  return out;
}

// A CRC fed run by run. A reflected CRC keeps its register in the low bits and shifts right;
// any other keeps it in the high bits of 32 and shifts left, so one byte-wide table serves
// every width from 1 to 32.
class Crc {
 public:
  explicit Crc(const CrcModel& model) : model_(model), shift_(32 - model.width) {
    const uint32_t poly = model.refIn ? reflect(model.poly, model.width) : model.poly << shift_;
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = model.refIn ? i : i << 24;
      for (int bit = 0; bit < 8; ++bit) {
        if (model.refIn)
          r = (r & 1u) != 0 ? (r >> 1) ^ poly : r >> 1;
        else
          r = (r & 0x80000000u) != 0 ? (r << 1) ^ poly : r << 1;
      }
      table_[i] = r;
    }
    reg_ = model.refIn ? reflect(model.init, model.width) : model.init << shift_;
  }

  void add(std::span<const uint8_t> bytes) {
    uint32_t reg = reg_;
    if (model_.refIn) {
      for (const uint8_t b : bytes) reg = table_[(reg ^ b) & 0xFFu] ^ (reg >> 8);
    } else {
      for (const uint8_t b : bytes) reg = table_[(reg >> 24) ^ b] ^ (reg << 8);
    }
    reg_ = reg;
  }

  [[nodiscard]] uint32_t value() const {
    // The register reads reflected exactly when the input was.
    uint32_t out = model_.refIn ? reg_ : reg_ >> shift_;
    if (model_.refIn != model_.refOut) out = reflect(out, model_.width);
    return (out ^ model_.xorOut) & maskOf(model_.width);
  }

 private:
  CrcModel model_;
  int shift_;
  std::array<uint32_t, 256> table_{};
  uint32_t reg_ = 0;
};

// A sum or XOR of the words of a run, carried on from `acc`; 32 bits wrap as every width does.
template <bool Xor, int Word, bool Big>
uint32_t fold(const uint8_t* p, size_t n, uint32_t acc) {
  for (size_t i = 0; i + Word <= n; i += Word) {
    uint32_t unit = 0;
    for (int k = 0; k < Word; ++k)
      unit |= uint32_t{p[i + static_cast<size_t>(k)]} << (8 * (Big ? Word - 1 - k : k));
    if constexpr (Xor)
      acc ^= unit;
    else
      acc += unit;
  }
  return acc;
}

using Fold = uint32_t (*)(const uint8_t*, size_t, uint32_t);

template <bool Xor>
Fold foldOf(int word, ByteOrder order) {
  const bool big = order == ByteOrder::Big;
  switch (word) {
    case 2:
      return big ? fold<Xor, 2, true> : fold<Xor, 2, false>;
    case 4:
      return big ? fold<Xor, 4, true> : fold<Xor, 4, false>;
    default:
      return fold<Xor, 1, true>;
  }
}

std::span<const uint8_t> bytesOf(std::span<const uint8_t> image, const ByteRange& range) {
  return image.subspan(static_cast<size_t>(range.first),
                       static_cast<size_t>(range.last - range.first + 1));
}

uint32_t compute(const ChecksumBlock& block, std::span<const uint8_t> image) {
  if (block.algorithm == ChecksumAlgorithm::Crc) {
    Crc crc(block.crc);
    for (const ByteRange& run : block.covered) crc.add(bytesOf(image, run));
    return crc.value();
  }
  const Fold fold = block.algorithm == ChecksumAlgorithm::Xor
                        ? foldOf<true>(block.word, block.order)
                        : foldOf<false>(block.word, block.order);
  uint32_t acc = 0;
  for (const ByteRange& run : block.covered) {
    const auto bytes = bytesOf(image, run);
    acc = fold(bytes.data(), bytes.size(), acc);
  }
  switch (block.form) {
    case ResultForm::Negated:
      acc = 0u - acc;
      break;
    case ResultForm::Inverted:
      acc = ~acc;
      break;
    case ResultForm::Plain:
      break;
  }
  return acc & maskOf(block.width());
}

bool fits(const ChecksumBlock& block, size_t imageBytes) {
  const auto inside = [&](const ByteRange& r) { return r.first <= r.last && r.last < imageBytes; };
  if (!inside(block.result())) return false;
  for (const ByteRange& run : block.covered)
    if (!inside(run)) return false;
  return true;
}

uint32_t storedValue(const ChecksumBlock& block, std::span<const uint8_t> image) {
  uint32_t value = 0;
  for (int k = 0; k < block.size; ++k) {
    const uint32_t byte = image[block.store + static_cast<size_t>(k)];
    if (block.order == ByteOrder::Big)
      value = (value << 8) | byte;
    else
      value |= byte << (8 * k);
  }
  return value;
}

}  // namespace

int ChecksumBlock::width() const {
  return algorithm == ChecksumAlgorithm::Crc ? crc.width : 8 * size;
}

uint32_t crcOf(const CrcModel& model, std::span<const uint8_t> bytes) {
  Crc crc(model);
  crc.add(bytes);
  return crc.value();
}

std::vector<ChecksumValue> checkChecksums(const std::vector<ChecksumBlock>& blocks,
                                          std::span<const uint8_t> image) {
  std::vector<ChecksumValue> values;
  values.reserve(blocks.size());
  for (const ChecksumBlock& block : blocks) {
    if (fits(block, image.size()))
      values.push_back({storedValue(block, image), compute(block, image), true});
    else
      values.push_back({0, 0, false});
  }
  return values;
}

std::vector<ChecksumWrite> correctChecksums(const std::vector<ChecksumBlock>& blocks,
                                            std::span<uint8_t> bytes) {
  std::vector<ChecksumWrite> writes;
  for (const ChecksumBlock& block : blocks) {
    if (!fits(block, bytes.size())) continue;
    const uint32_t value = compute(block, bytes);
    for (int k = 0; k < block.size; ++k) {
      const int shift = 8 * (block.order == ByteOrder::Big ? block.size - 1 - k : k);
      const auto byte = static_cast<uint8_t>(value >> shift);
      const uint64_t at = block.store + static_cast<uint64_t>(k);
      if (bytes[at] == byte) continue;
      bytes[at] = byte;
      writes.push_back({at, byte});
    }
  }
  return writes;
}

int correctImageChecksums(const std::vector<ChecksumBlock>& blocks) {
  std::vector<uint8_t> bytes = imageBytes();
  const std::vector<ChecksumWrite> writes = correctChecksums(blocks, bytes);
  const ImageAction action(kChecksumsCorrected);
  for (const ChecksumWrite& write : writes)
    writeImageByte(static_cast<int64_t>(write.address), write.value);
  return static_cast<int>(writes.size());
}

std::string checksumText(uint32_t value, int size) {
  std::string text;
  for (int k = size - 1; k >= 0; --k) {
    const auto byte = static_cast<uint8_t>(value >> (8 * k));
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0xF];
  }
  return text;
}

}  // namespace trimlet
