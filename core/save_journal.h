// The journal that makes a save all-or-nothing across a crash: before the save overwrites the
// BIN file in place, the bytes it overwrites go into a file beside it, flushed; the journal goes
// once the file holds the new image on disk. The next open of the file in the editor finds a
// journal left by a save that was cut short and leaves the file holding one whole image.
#pragma once

#include <string>
#include <string_view>

namespace trimlet {

// "car.bin" gives "car.bin.trimlet-journal" (a name too long for that is cut and keyed).
[[nodiscard]] std::string saveJournalPath(const std::string& binPath);

// Keeps `before`, which a save is about to replace with `after` in the file at `binPath`, in
// the journal: written whole, flushed, with its folder. Returns the platform's error.
[[nodiscard]] int writeSaveJournal(const std::string& binPath, std::string_view before,
                                   std::string_view after);

// Removes the journal: the file holds a whole image on disk again. Returns the platform's error.
int removeSaveJournal(const std::string& binPath);

// What an open found of a save cut short.
struct JournalCheck {
  std::string message;    // empty when there was no journal
  bool critical = false;  // the file may hold part of a save
  bool usable = true;     // false: the file holds part of a save and must not be loaded
};

// Looks for the journal of the file at `binPath`. The editor (`settle`) rolls a save cut short
// back, or finds it finished, and removes the journal and what a killed write left beside the
// file; the viewer only says a journal is there. A journal that does not belong to the file
// is left as it is, never applied.
[[nodiscard]] JournalCheck checkSaveJournal(const std::string& binPath, bool settle);

}  // namespace trimlet
