// Loading the BIN file into the image records and saving the image back into it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trimlet {

// Largest file the image holds: its last block must end at or below record 655350.
inline constexpr long long kMaxBinFileBytes = 655343;

// Outcome of a load or save; `message` tells the user why it failed.
struct FileResult {
  bool ok = true;
  std::string message;
  // A save only: the file is no longer the one the load read (another program replaced or
  // changed it), so nothing was written; `message` says what changed.
  bool changedOnDisk = false;
};

// Reads the file named by BIN_Path into BIN_Data and sets BIN_Size and BIN_FileBytes, and
// remembers which file it read and as it was then. A file that cannot be read, is not a
// regular file or is too large is refused and leaves the image untouched.
[[nodiscard]] FileResult Load_BIN();

enum class SaveMode {
  IfUnchanged,  // write only into the file the load read, as it was then
  Overwrite,    // the user agreed: the image replaces whatever content the file holds now
};

// Writes every byte the load read from the file back into it, in place (never a new file:
// its identity, links, owner and permissions stay), flushed to disk; the file then holds
// exactly the image. On failure the file is left as it was, and the message says so when
// even that failed.
[[nodiscard]] FileResult Save_BIN(SaveMode mode = SaveMode::IfUnchanged);

// Writes `bytes` (the image) as a copy into the file at `copyPath`: a new one, or over the regular
// file there (the user agreed), written whole beside it, flushed and renamed into place, so a
// failure leaves no half copy and the file there as it was. A new copy gets the BIN file's
// permissions. A folder, a pipe or a device there is refused, and so is the BIN file itself,
// which only a save writes. The editor stays on its BIN file.
[[nodiscard]] FileResult saveCopy(const std::string& copyPath, const std::vector<uint8_t>& bytes);

// Where the copy of a BIN file as it was first loaded is kept: beside it, "car.bin" giving
// "car.orig.bin" and "image" giving "image.orig".
[[nodiscard]] std::string originalCopyPath(const std::string& binPath);

// Keeps the file as it was loaded (`bytes`) in its original copy, unless a copy is there
// already: written whole beside it and renamed into place, so a failure leaves no half copy.
[[nodiscard]] FileResult keepOriginal(const std::string& binPath,
                                      const std::vector<uint8_t>& bytes);

}  // namespace trimlet
