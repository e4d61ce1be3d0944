// The process-wide shared state: the image records, the item table, the paths and the sizes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trimlet {

// Records 0..655350: the image can hold at most this many bytes of a file.
inline constexpr int kBinCapacity = 655351;
// Items 1..300; index 0 is never used.
inline constexpr int kMaxItems = 300;

// One byte of the image as two texts: a 6-digit address and a 2-character value.
struct BIN_Record {
  std::array<char, 6> Address{};
  std::array<char, 2> Value{};
};

// One calibration item, its fields in the order of the ECU file.
struct ECU_Item {
  std::string Address;
  int16_t Cols = 0;
  int16_t Rows = 0;
  int16_t Bytes = 0;
  int16_t Kind = 0;
  double Offset = 0;
  int16_t Operation = 0;
  double Factor = 0;
  std::string Name;
  std::string Ylabel;
  std::string Yaxis;
  std::string Xlabel;
  std::string Xaxis;
};

extern std::array<BIN_Record, kBinCapacity> BIN_Data;
extern std::array<ECU_Item, kMaxItems + 1> ECU_Items;

extern std::string BIN_Path;
extern std::string ECU_Path;
// Records the last load filled: 16 per whole 16-byte block of the file, plus 16.
extern double BIN_Size;
// Bytes the last load read from the file: what a save writes back and what items may address.
extern int64_t BIN_FileBytes;

extern std::string ECU_Format;
extern std::string ECU_Head1;
extern int16_t ECU_Head2;
extern std::string ECU_Head3;
extern std::string ECU_Head4;
extern std::string ECU_Head5;
extern std::string ECU_Head6;
extern int16_t ECU_Count;

// Puts the whole state back to how it is at program start (tests use this).
void resetState();

// Item classes, decided from Kind, Cols and Rows alone.
[[nodiscard]] bool isFlagByte(const ECU_Item& item);
[[nodiscard]] bool isSingleValue(const ECU_Item& item);
[[nodiscard]] bool isArray(const ECU_Item& item);
[[nodiscard]] bool isMap(const ECU_Item& item);

// Columns and rows a table can have: the value tables hold indexes 0..500.
inline constexpr int kMaxTableCells = 501;
// Bytes a single value can have: its raw number must fit 32 bits.
inline constexpr int kMaxValueBytes = 4;

// An item list's position (from 1) to item number; position 0 is never written and holds 0.
using IndexTable = std::array<int16_t, kMaxItems + 1>;

// The item a list's 0-based selection stands for (selection -1 gives item 0, which is empty).
[[nodiscard]] const ECU_Item& chosenItem(const IndexTable& index, int selection);

// Why a run of records cannot be used.
enum class RangeProblem { None, NotHexadecimal, BeyondFile, TableSize, ValueBytes };

struct RecordRange {
  RangeProblem problem = RangeProblem::None;
  int first = 0;  // when problem is None: the first record and how many there are
  int count = 0;
};

// Resolves `count` records from the hexadecimal `address`: they must lie inside the bytes the
// last load read from the file (and so inside the image).
[[nodiscard]] RecordRange resolveRecords(std::string_view address, int64_t count);
// The same for a file of `fileBytes` bytes that need not be loaded (a check of an ECU file).
[[nodiscard]] RecordRange resolveRecords(std::string_view address, int64_t count,
                                         int64_t fileBytes);

// The cells of an array or map: columns and rows each 1..kMaxTableCells, every cell in the file
// (the loaded one, or one of `fileBytes` bytes).
[[nodiscard]] RecordRange tableRecords(const ECU_Item& item);
[[nodiscard]] RecordRange tableRecords(const ECU_Item& item, int64_t fileBytes);

// The records an item's panel reads and writes, by its class: one for a flag byte, `Bytes` (1
// to 4) for a single value, the cells of an array or map (in the loaded file, or in one of
// `fileBytes` bytes).
[[nodiscard]] RecordRange itemRecords(const ECU_Item& item);
[[nodiscard]] RecordRange itemRecords(const ECU_Item& item, int64_t fileBytes);

// Whether records first..first+count-1 are bytes of the loaded file.
[[nodiscard]] bool recordsInFile(int64_t first, int64_t count);

// A short note for the user on why an item cannot be shown; `bytes` is the item's Bytes.
[[nodiscard]] std::string rangeNote(RangeProblem problem, int bytes = 0);

}  // namespace trimlet
