// Loads arbitrary bytes as a BIN file and saves the image into a second file of the same
// length: the second file must then hold exactly the bytes of the first.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/bin_file.h"
#include "core/state.h"
#include "fuzz/FuzzFile.h"

using namespace trimlet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFile source("input.bin");
  static const fuzz::FuzzFile target("saved.bin");

  BIN_Path = source.write(data, size);
  const FileResult loaded = Load_BIN();
  if (size > static_cast<size_t>(kMaxBinFileBytes)) {
    if (loaded.ok) __builtin_trap();
    return 0;
  }
  if (!loaded.ok || BIN_FileBytes != static_cast<int64_t>(size) ||
      BIN_Size != static_cast<double>(size / 16 * 16 + 16))
    __builtin_trap();

  // The save writes in place, so the target starts with the same length and other bytes. It
  // is not the file the load read, so only a save that may overwrite another file writes it.
  std::vector<uint8_t> other(data, data + size);
  for (uint8_t& b : other) b = static_cast<uint8_t>(~b);
  BIN_Path = target.write(other.data(), other.size());
  if (Save_BIN().ok || !Save_BIN(SaveMode::Overwrite).ok) __builtin_trap();

  std::ifstream in(BIN_Path, std::ios::binary);
  const std::vector<uint8_t> saved{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  if (saved != std::vector<uint8_t>(data, data + size)) __builtin_trap();
  return 0;
}
