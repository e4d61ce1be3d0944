// Loading the BIN file into the image records and saving the image back into it.
#pragma once

#include <string>

namespace trimlet {

// Largest file the image holds: its last block must end at or below record 655350.
inline constexpr long long kMaxBinFileBytes = 655343;

// Outcome of a load or save; `message` tells the user why it failed.
struct FileResult {
  bool ok = true;
  std::string message;
};

// Reads the file named by BIN_Path into BIN_Data and sets BIN_Size and BIN_FileBytes. A file
// that cannot be read, is not a regular file or is too large is refused and leaves the image
// untouched.
[[nodiscard]] FileResult Load_BIN();

// Writes every byte the load read from the file back into it, in place and in one write,
// flushed to disk. On failure the file is left as it was where the platform allows.
[[nodiscard]] FileResult Save_BIN();

}  // namespace trimlet
