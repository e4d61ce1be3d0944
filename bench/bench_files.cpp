// Loading and saving the largest BIN image and parsing a full ECU file, each beside the plain
// work it cannot avoid: one read of the file plus hex formatting, one write, one tokenizer pass;
// and the check of that ECU file against that image.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/bin_file.h"
#include "core/ecu_check.h"
#include "core/ecu_file.h"
#include "core/image.h"
#include "core/patch.h"
#include "core/state.h"

namespace {

using namespace trimlet;

// The benchmark's files, written once into a folder of their own and removed at exit.
class Files {
 public:
  Files()
      : folder_(std::filesystem::temp_directory_path() /
                ("trimlet-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    image_.resize(static_cast<size_t>(kMaxBinFileBytes));
    for (size_t i = 0; i < image_.size(); ++i) image_[i] = static_cast<unsigned char>(i * 7 % 251);
    write(binPath(), std::string_view(reinterpret_cast<const char*>(image_.data()), image_.size()));
    write(ecuPath(), ecuText());
  }
  ~Files() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;

  [[nodiscard]] std::string binPath() const { return (folder_ / "image.bin").string(); }
  [[nodiscard]] std::string ecuPath() const { return (folder_ / "full.ecu").string(); }
  [[nodiscard]] const std::vector<unsigned char>& image() const { return image_; }

 private:
  static void write(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }

  // 300 items, the four classes in turn, written as a person would write them.
  static std::string ecuText() {
    std::string text =
        "ECU FORMAT 1\r\n{\r\nTitle=Benchmark engine\r\nVersion=1\r\nA=, B=, C=, D=\r\n"
        "Items=300\r\n}\r\n";
    for (int i = 1; i <= kMaxItems; ++i) {
      const std::string address = std::to_string(1000 + 300 * i);
      const std::string n = std::to_string(i);
      switch (i % 4) {
        case 0:
          text += "{\r\nAddress=" + address +
                  ", Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=0\r\n"
                  "Name=Option flags " +
                  n +
                  "\r\nYlabel=Bit\r\nYaxis=Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle \r\n"
                  "Xlabel=Checked means on\r\nXaxis=Option word\r\n}\r\n";
          break;
        case 1:
          text += "{\r\nAddress=" + address +
                  ", Cols=1, Rows=1, Bytes=2, Kind=0, Offset=-40, Operation=1, Factor=0.75\r\n"
                  "Name=Rev limit " +
                  n + ", Ylabel=, Yaxis=, Xlabel=RPM, Xaxis=\r\n}\r\n";
          break;
        case 2:
          text += "{\r\nAddress=" + address +
                  ", Cols=16, Rows=1, Bytes=1, Kind=0, Offset=0, Operation=0, Factor=0.5\r\n"
                  "Name=Coolant correction " +
                  n +
                  "\r\nYlabel=, Yaxis=\r\nXlabel=Coolant (C)\r\n"
                  "Xaxis=-40-30-20-10  0 10 20 30 40 50 60 70 80 90100110\r\n}\r\n";
          break;
        default:
          text += "{\r\nAddress=" + address +
                  ", Cols=16, Rows=16, Bytes=1, Kind=0, Offset=-10, Operation=0, Factor=0.5\r\n"
                  "Name=Spark advance " +
                  n +
                  "\r\nYlabel=MAP (kPa)\r\n"
                  "Yaxis=   25   30   35   40   45   50   55   60   65   70   75   80   85   90"
                  "   95  100\r\nXlabel=RPM x100\r\n"
                  "Xaxis=  8 12 16 20 24 28 32 36 40 44 48 52 56 60 64 68\r\n}\r\n";
          break;
      }
    }
    return text;
  }

  std::filesystem::path folder_;
  std::vector<unsigned char> image_;
};

const Files& files() {
  static const Files instance;
  return instance;
}

std::vector<unsigned char> readWhole(const std::string& path) {
  std::vector<unsigned char> bytes(std::filesystem::file_size(path));
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
  }
  return bytes;
}

// --- BIN image ---

void BM_Load_BIN(benchmark::State& state) {
  BIN_Path = files().binPath();
  for (auto _ : state) {
    if (!Load_BIN().ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(BIN_Data.data());
  }
}
BENCHMARK(BM_Load_BIN)->Unit(benchmark::kMillisecond);

// One read of the file into memory, then each record's address and value filled from a table
// of two-digit hexadecimal texts.
void BM_LoadBaseline_ReadAndFormat(benchmark::State& state) {
  static std::array<BIN_Record, kBinCapacity> records;
  std::array<std::array<char, 2>, 256> digits{};
  for (int b = 0; b < 256; ++b)
    digits[b] = {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
  for (auto _ : state) {
    const std::vector<unsigned char> bytes = readWhole(files().binPath());
    const size_t count = bytes.size() / 16 * 16 + 16;
    for (size_t p = 0; p < count; ++p) {
      BIN_Record& record = records[p];
      const auto& high = digits[(p >> 16) & 0xFF];
      const auto& middle = digits[(p >> 8) & 0xFF];
      const auto& low = digits[p & 0xFF];
      record.Address = {high[0], high[1], middle[0], middle[1], low[0], low[1]};
      record.Value = digits[p < bytes.size() ? bytes[p] : 0];
    }
    benchmark::DoNotOptimize(records.data());
  }
}
BENCHMARK(BM_LoadBaseline_ReadAndFormat)->Unit(benchmark::kMillisecond);

void BM_Save_BIN(benchmark::State& state) {
  BIN_Path = files().binPath();
  if (!Load_BIN().ok) state.SkipWithError("load failed");
  for (auto _ : state) {
    if (!Save_BIN().ok) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_Save_BIN)->Unit(benchmark::kMillisecond);

// One write of the bytes in place, flushed to disk as the save does.
void BM_SaveBaseline_OneWrite(benchmark::State& state) {
  const std::vector<unsigned char>& image = files().image();
  for (auto _ : state) {
    const int fd = ::open(files().binPath().c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 ||
        ::pwrite(fd, image.data(), image.size(), 0) != static_cast<ssize_t>(image.size()) ||
        ::fsync(fd) != 0)
      state.SkipWithError("write failed");
    if (fd >= 0) ::close(fd);
  }
}
BENCHMARK(BM_SaveBaseline_OneWrite)->Unit(benchmark::kMillisecond);

// --- ECU file ---

void BM_Parse_ECU(benchmark::State& state) {
  ECU_Path = files().ecuPath();
  for (auto _ : state) {
    if (Parse_ECU().outcome != ParseOutcome::Ok) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(ECU_Items.data());
  }
}
BENCHMARK(BM_Parse_ECU)->Unit(benchmark::kMicrosecond);

// One read of the file, then a bare pass that cuts it into items at commas and line ends.
void BM_ParseBaseline_ReadAndTokenize(benchmark::State& state) {
  for (auto _ : state) {
    const std::vector<unsigned char> bytes = readWhole(files().ecuPath());
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t items = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == ',' || text[i] == '\r' || text[i] == '\n') {
        std::string_view item = text.substr(start, i - start);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        benchmark::DoNotOptimize(item);
        items += !item.empty();
        start = i + 1;
      }
    }
    benchmark::DoNotOptimize(items);
  }
}
BENCHMARK(BM_ParseBaseline_ReadAndTokenize)->Unit(benchmark::kMicrosecond);

// The whole report trimlet-check prints: both files read, every item placed and compared.
void BM_CheckFiles(benchmark::State& state) {
  for (auto _ : state) {
    const CheckedFiles check = checkFiles(files().ecuPath(), files().binPath());
    if (!check.report.shows.empty()) state.SkipWithError("check found errors");
    benchmark::DoNotOptimize(check.report.items.data());
  }
}
BENCHMARK(BM_CheckFiles)->Unit(benchmark::kMicrosecond);

// --- Patch files: a tune of every cell of the 75 maps, within 5x BM_Load_BIN each ---

// Loads the image and the items; the stock bytes, and the tune's text.
struct Tune {
  std::vector<uint8_t> stock;
  std::string text;
};

Tune loadAndTune() {
  BIN_Path = files().binPath();
  ECU_Path = files().ecuPath();
  if (!Load_BIN().ok || Parse_ECU().outcome != ParseOutcome::Ok) return {};
  Tune tune{imageBytes(), {}};
  std::vector<uint8_t> tuned = tune.stock;
  for (const PatchItemSource& source : loadedItems())
    if (isMap(*source.item))
      for (int r = source.range.first; r < source.range.first + source.range.count; ++r)
        tuned[static_cast<size_t>(r)] ^= 0x01;
  tune.text = formatPatch(
      diffImages(tune.stock, tuned, loadedItems(), readPatchEcu(files().ecuPath(), BIN_FileBytes)));
  return tune;
}

// "Export changes…": the ECU file's hash and checksums read, the diff, the text.
void BM_Patch_Diff(benchmark::State& state) {
  const Tune tune = loadAndTune();
  const PatchRead read = parsePatch(tune.text);
  if (tune.text.empty() || !read.ok()) state.SkipWithError("no tune");
  const PatchEcu ecu = readPatchEcu(files().ecuPath(), BIN_FileBytes);
  (void)applyPlanToImage(planPatch(read.patch, imageBytes(), loadedItems(), ecu.sha), false, {},
                         "tune");
  for (auto _ : state) {
    const Patch patch = diffImages(tune.stock, imageBytes(), loadedItems(),
                                   readPatchEcu(files().ecuPath(), BIN_FileBytes));
    benchmark::DoNotOptimize(formatPatch(patch));
  }
}
BENCHMARK(BM_Patch_Diff)->Unit(benchmark::kMillisecond);

// "Apply patch…": the file's text read, every change planned and checked, then written as one
// action; the stock image is loaded again between runs, untimed.
void BM_Patch_Apply(benchmark::State& state) {
  const Tune tune = loadAndTune();
  if (tune.text.empty()) state.SkipWithError("no tune");
  for (auto _ : state) {
    const PatchRead read = parsePatch(tune.text);
    const PatchEcu ecu = readPatchEcu(files().ecuPath(), BIN_FileBytes);
    const PatchPlan plan = planPatch(read.patch, imageBytes(), loadedItems(), ecu.sha);
    if (!plan.complete() || applyPlanToImage(plan, false, ecu.blocks, "tune") == 0)
      state.SkipWithError("the tune did not apply");
    state.PauseTiming();
    (void)Load_BIN();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Patch_Apply)->Unit(benchmark::kMillisecond);

}  // namespace
