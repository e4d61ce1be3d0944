// Checksum algorithms against published check values and Boost's bit-by-bit CRC, the values
// of sums and XORs, and corrections in file order, in bytes and through the image.
#include "core/checksum.h"

#include <gtest/gtest.h>

#include <boost/crc.hpp>
#include <map>
#include <tuple>

#include "core/bin_file.h"
#include "core/checksum_section.h"
#include "core/image.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

// Boost's CRC, which takes its width at compile time and steps bit by bit.
template <int Bits>
uint32_t boostCrc(const CrcModel& m, std::span<const uint8_t> bytes) {
  boost::crc_basic<Bits> crc(m.poly, m.init, m.xorOut, m.refIn, m.refOut);
  crc.process_bytes(bytes.data(), bytes.size());
  return static_cast<uint32_t>(crc.checksum());
}

using Crc = uint32_t (*)(const CrcModel&, std::span<const uint8_t>);
const std::map<int, Crc> kOracles = {
    {5, boostCrc<5>}, {8, boostCrc<8>}, {12, boostCrc<12>}, {16, boostCrc<16>}, {32, boostCrc<32>}};

// Catalogued CRCs with their check values over "123456789": every reflection, widths from 5 to
// 32; then table and oracle over runs of many lengths up to 300 bytes of every value.
TEST(Checksum, CrcOfEveryCatalogueModelMatchesItsCheckValueAndBoost) {
  const std::tuple<const char*, CrcModel, uint32_t> models[] = {
      {"CRC-5/USB", {5, 0x05, 0x1F, true, true, 0x1F}, 0x19},
      {"CRC-8/MAXIM-DOW", {8, 0x31, 0, true, true, 0}, 0xA1},
      {"CRC-12/UMTS", {12, 0x80F, 0, false, true, 0}, 0xDAF},
      {"CRC-16/ARC", {16, 0x8005, 0, true, true, 0}, 0xBB3D},
      {"CRC-32/ISO-HDLC", {32, 0x04C11DB7, 0xFFFFFFFF, true, true, 0xFFFFFFFF}, 0xCBF43926},
      {"CRC-32/BZIP2", {32, 0x04C11DB7, 0xFFFFFFFF, false, false, 0xFFFFFFFF}, 0xFC891918},
  };
  const std::string_view check = "123456789";
  const auto checkBytes = std::span(reinterpret_cast<const uint8_t*>(check.data()), check.size());
  const std::vector<uint8_t> bytes = test::patternBytes(300);
  for (const auto& [name, model, value] : models) {
    SCOPED_TRACE(name);
    EXPECT_EQ(crcOf(model, checkBytes), value);
    const Crc oracle = kOracles.at(model.width);
    for (size_t n = 0; n <= bytes.size(); n += 7)
      ASSERT_EQ(crcOf(model, std::span(bytes).first(n)), oracle(model, std::span(bytes).first(n)))
          << n;
  }
}

// The blocks of a section after an ECU file of no items, read against an image of `size` bytes.
std::vector<ChecksumBlock> blocksOf(const std::string& blocks, int64_t size) {
  const std::string text = "ECU FORMAT 1\n{\nT=\nV=1\nA=\nB=\nC=\nD=\nItems=0\n}\nChecksums\n";
  const ChecksumSection section = readChecksumSection(text + blocks, size);
  EXPECT_TRUE(section.usable()) << section.findings.at(0).message;
  return section.blocks;
}

// Twelve bytes, then AA BB CC DD where the results are stored. Each block's fields, its
// computed value and the value it reads as stored: bytes and words in both orders, every
// width, as is, negated and inverted, ranges that hold their own result, excluded bytes.
TEST(Checksum, SumsAndXorsOfBytesAndWordsInEitherOrder) {
  const std::vector<uint8_t> image = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0,
                                      0x01, 0x02, 0x03, 0x04, 0xAA, 0xBB, 0xCC, 0xDD};
  const std::tuple<const char*, uint32_t, uint32_t> cases[] = {
      {"sum\nRange=0-F\nSize=4\nOrder=little", 0x0442, 0xDDCCBBAA},
      {"sum\nRange=0-B\nSize=2\nOrder=big\nWord=2", 0xE65E, 0xAABB},
      {"sum\nRange=0-B\nSize=2\nOrder=little\nWord=2", 0x5FE4, 0xBBAA},
      {"sum\nRange=0-B\nSize=4\nOrder=little\nWord=4", 0x6D37F2AD, 0xDDCCBBAA},
      {"sum\nRange=0-B\nSize=2\nOrder=big\nWord=2\nResult=negated", 0x19A2, 0xAABB},
      {"sum\nRange=0-B\nSize=1\nResult=Inverted", 0xBD, 0xAA},
      {"sum\nRange=0-B\nExclude=4-7\nSize=1", 0x1E, 0xAA},
      {"sum\nRange=0-3\nRange=8-B\nSize=2\nOrder=big", 0x011E, 0xAABB},
      {"xor\nRange=0-B\nSize=1", 0x04, 0xAA},
      {"xor\nRange=0-B\nSize=4\nOrder=little\nWord=4", 0x8C8B8A89, 0xDDCCBBAA},
  };
  for (const auto& [fields, computed, stored] : cases) {
    SCOPED_TRACE(fields);
    const auto blocks =
        blocksOf(std::string("{\nName=n\nAlgorithm=") + fields + "\nStore=C\n}\n", 16);
    ASSERT_EQ(blocks.size(), 1u);
    const ChecksumValue value = checkChecksums(blocks, image).at(0);
    EXPECT_EQ(value.computed, computed);
    EXPECT_EQ(value.stored, stored);
  }
}

// A later block covers an earlier one's result, so only file order can make both right; the
// sum negated makes its whole range, result included, add up to zero; a second correction
// finds nothing to do; a block beyond the bytes given is neither computed nor written.
TEST(Checksum, CorrectsInFileOrderWritingOnlyTheBytesThatChange) {
  const auto blocks = blocksOf(
      "{\nName=inner\nAlgorithm=sum\nRange=0-F\nStore=E\nSize=2\nOrder=little\nWord=2\n"
      "Result=negated\n}\n{\nName=outer\nAlgorithm=crc\nRange=0-1F\nStore=1C\nSize=4\n"
      "Order=big\nWidth=32\nPoly=4C11DB7\nInit=FFFFFFFF\nRefIn=true\nRefOut=true\n"
      "XorOut=FFFFFFFF\n}\n",
      32);
  std::vector<uint8_t> bytes = test::patternBytes(32);
  const auto writes = correctChecksums(blocks, bytes);
  EXPECT_EQ(writes.size(), 6u);  // both bytes of the sum, all four of the CRC
  for (const ChecksumValue& value : checkChecksums(blocks, bytes)) EXPECT_TRUE(value.ok());
  uint32_t words = 0;
  for (size_t i = 0; i < 16; i += 2) words += bytes[i] | bytes[i + 1] << 8;
  EXPECT_EQ(words & 0xFFFF, 0u);
  EXPECT_TRUE(correctChecksums(blocks, bytes).empty());

  bytes.resize(20);
  EXPECT_FALSE(checkChecksums(blocks, bytes).at(1).fits);
  bytes[0] ^= 1;
  EXPECT_EQ(correctChecksums(blocks, bytes).size(), 1u);  // the sum alone; its low byte
}

// The correction of the loaded image is one action, named, holding the result's bytes alone.
TEST(Checksum, CorrectsTheImageAsOneAction) {
  resetState();
  const test::TempDir dir;
  BIN_Path = dir.write("image.bin", test::patternBytes(64));  // bytes 0 to 63
  ASSERT_TRUE(Load_BIN().ok);
  std::vector<ImageChange> changes;
  const ImageSubscription heard([&](const ImageChange& change) { changes.push_back(change); });
  const auto blocks =
      blocksOf("{\nName=n\nAlgorithm=sum\nRange=0-3F\nStore=20\nSize=4\nOrder=big\n}\n", 64);
  EXPECT_EQ(correctImageChecksums(blocks), 4);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].what, kChecksumsCorrected);
  EXPECT_EQ(changes[0].records.size(), 4u);
  // 0 + 1 + ... + 63 without 20..23 (hexadecimal) is 1882, 75A.
  const std::vector<uint8_t> bytes = imageBytes();
  EXPECT_EQ(std::vector(bytes.begin() + 0x1F, bytes.begin() + 0x25),
            (std::vector<uint8_t>{0x1F, 0, 0, 0x07, 0x5A, 0x24}));
  EXPECT_EQ(correctImageChecksums(blocks), 0);
  EXPECT_EQ(changes.size(), 1u);
}

}  // namespace
}  // namespace trimlet
