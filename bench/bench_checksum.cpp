// Checksums over the largest image, each beside a plain loop over the same bytes: sums and XORs
// of bytes and words beside a loop that adds up the bytes, CRC-32 beside a loop over a fixed
// table; then the whole correction of the loaded image.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/bin_file.h"
#include "core/checksum.h"
#include "core/checksum_section.h"
#include "core/image.h"
#include "core/state.h"

namespace {

using namespace trimlet;

const std::vector<uint8_t>& image() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> out(static_cast<size_t>(kMaxBinFileBytes));
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(i * 7 % 251);
    return out;
  }();
  return bytes;
}

// Blocks over the whole image (its last byte is odd: the words stop one short, the result is
// stored at the start).
std::vector<ChecksumBlock> blocks(const std::string& fields) {
  const std::string text =
      "ECU FORMAT 1\n{\nT=,V=1,A=,B=,C=,D=,Items=0\n}\nChecksums\n{\nName=bench\nStore=0\n" +
      fields + "\n}\n";
  return readChecksumSection(text, kMaxBinFileBytes).blocks;
}

const char* const kVariants[] = {
    "Algorithm=sum\nRange=0-9FFEE\nSize=4\nOrder=big",
    "Algorithm=sum\nRange=0-9FFED\nSize=4\nOrder=big\nWord=2",
    "Algorithm=sum\nRange=0-9FFED\nSize=2\nOrder=little\nWord=2",
    "Algorithm=sum\nRange=0-9FFEB\nSize=4\nOrder=big\nWord=4",
    "Algorithm=sum\nRange=0-9FFEB\nSize=4\nOrder=little\nWord=4\nResult=negated",
    "Algorithm=xor\nRange=0-9FFEE\nSize=1",
    "Algorithm=xor\nRange=0-9FFEB\nSize=4\nOrder=little\nWord=4",
};
const char* const kVariantNames[] = {"sum8x4",      "sum16be", "sum16le", "sum32be",
                                     "sum32le/neg", "xor8",    "xor32le"};

void BM_SumOrXor(benchmark::State& state) {
  const auto declared = blocks(kVariants[state.range(0)]);
  if (declared.size() != 1) state.SkipWithError("the block is not read");
  state.SetLabel(kVariantNames[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(checkChecksums(declared, image()));
  state.SetBytesProcessed(state.iterations() * kMaxBinFileBytes);
}
BENCHMARK(BM_SumOrXor)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

// The least any sum must do: every byte added up once.
void BM_SumBaseline_PlainLoop(benchmark::State& state) {
  for (auto _ : state) {
    uint32_t sum = 0;
    for (const uint8_t byte : image()) sum += byte;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * kMaxBinFileBytes);
}
BENCHMARK(BM_SumBaseline_PlainLoop)->Unit(benchmark::kMicrosecond);

void BM_Crc32(benchmark::State& state) {
  const auto declared = blocks(
      "Algorithm=crc\nRange=0-9FFEE\nSize=4\nOrder=big\nWidth=32\nPoly=4C11DB7\nInit=FFFFFFFF\n"
      "RefIn=true\nRefOut=true\nXorOut=FFFFFFFF");
  if (declared.size() != 1) state.SkipWithError("the block is not read");
  for (auto _ : state) benchmark::DoNotOptimize(checkChecksums(declared, image()));
  state.SetBytesProcessed(state.iterations() * kMaxBinFileBytes);
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMicrosecond);

// CRC-32 as every textbook writes it: a fixed table, one look-up a byte.
void BM_Crc32Baseline_TableLoop(benchmark::State& state) {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) != 0 ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    table[i] = r;
  }
  for (auto _ : state) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const uint8_t byte : image()) crc = table[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    benchmark::DoNotOptimize(crc ^ 0xFFFFFFFFu);
  }
  state.SetBytesProcessed(state.iterations() * kMaxBinFileBytes);
}
BENCHMARK(BM_Crc32Baseline_TableLoop)->Unit(benchmark::kMicrosecond);

// The whole correction of the loaded image, as "Correct now" or a save does it: the image's
// bytes read from its records, a sum of words, then a CRC-32 over everything including that
// sum, both results written through the image's write path as one action. A byte edited
// before each round makes every result change.
void BM_CorrectImageChecksums(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("trimlet-bench-" + std::to_string(::getpid()) + ".bin");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image().data()), kMaxBinFileBytes);
  BIN_Path = path.string();
  if (!Load_BIN().ok) state.SkipWithError("load failed");
  std::filesystem::remove(path);
  const auto declared = blocks(
      "Algorithm=sum\nRange=0-9FFE9\nSize=2\nOrder=big\nWord=2\n}\n{\nName=crc\n"
      "Algorithm=crc\nRange=0-9FFEE\nStore=9FFEB\nSize=4\nOrder=big\nWidth=32\nPoly=4C11DB7\n"
      "Init=FFFFFFFF\nRefIn=true\nRefOut=true\nXorOut=FFFFFFFF");
  if (declared.size() != 2) state.SkipWithError("the blocks are not read");
  int round = 0;
  for (auto _ : state) {
    writeImageByte(0x100, ++round & 0xFF);
    benchmark::DoNotOptimize(correctImageChecksums(declared));
  }
}
BENCHMARK(BM_CorrectImageChecksums)->Unit(benchmark::kMillisecond);

}  // namespace
