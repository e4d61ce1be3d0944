#include "core/state.h"

#include "core/hex.h"

namespace trimlet {

std::array<BIN_Record, kBinCapacity> BIN_Data;
std::array<ECU_Item, kMaxItems + 1> ECU_Items;

std::string BIN_Path;
std::string ECU_Path;
double BIN_Size = 0;
int64_t BIN_FileBytes = 0;

std::string ECU_Format;
std::string ECU_Head1;
int16_t ECU_Head2 = 0;
std::string ECU_Head3;
std::string ECU_Head4;
std::string ECU_Head5;
std::string ECU_Head6;
int16_t ECU_Count = 0;

void resetState() {
  BIN_Data.fill(BIN_Record{});
  ECU_Items.fill(ECU_Item{});
  BIN_Path.clear();
  ECU_Path.clear();
  BIN_Size = 0;
  BIN_FileBytes = 0;
  ECU_Format.clear();
  ECU_Head1.clear();
  ECU_Head2 = 0;
  ECU_Head3.clear();
  ECU_Head4.clear();
  ECU_Head5.clear();
  ECU_Head6.clear();
  ECU_Count = 0;
}

bool isFlagByte(const ECU_Item& item) { return item.Kind == 80; }

bool isSingleValue(const ECU_Item& item) {
  return item.Kind == 0 && item.Cols == 1 && item.Rows == 1;
}

bool isArray(const ECU_Item& item) {
  return item.Kind == 0 && (item.Cols > 1 || item.Rows > 1) && (item.Cols == 1 || item.Rows == 1);
}

bool isMap(const ECU_Item& item) { return item.Cols > 1 && item.Rows > 1; }

namespace {

bool recordsInFileOf(int64_t first, int64_t count, int64_t fileBytes) {
  return first >= 0 && count >= 0 && first <= kBinCapacity && count <= kBinCapacity &&
         first + count <= fileBytes && first + count <= kBinCapacity;
}

}  // namespace

bool recordsInFile(int64_t first, int64_t count) {
  return recordsInFileOf(first, count, BIN_FileBytes);
}

RecordRange resolveRecords(std::string_view address, int64_t count) {
  return resolveRecords(address, count, BIN_FileBytes);
}

RecordRange resolveRecords(std::string_view address, int64_t count, int64_t fileBytes) {
  const auto start = hexToNumber(address);
  // Digits too many for any number lie far beyond the file; they are still hexadecimal.
  if (!start)
    return {isHexText(address) ? RangeProblem::BeyondFile : RangeProblem::NotHexadecimal, 0};
  if (*start > static_cast<uint64_t>(kBinCapacity) ||
      !recordsInFileOf(static_cast<int64_t>(*start), count, fileBytes))
    return {RangeProblem::BeyondFile, 0};
  return {RangeProblem::None, static_cast<int>(*start), static_cast<int>(count)};
}

RecordRange tableRecords(const ECU_Item& item) { return tableRecords(item, BIN_FileBytes); }

RecordRange tableRecords(const ECU_Item& item, int64_t fileBytes) {
  if (item.Cols < 1 || item.Rows < 1 || item.Cols > kMaxTableCells || item.Rows > kMaxTableCells)
    return {RangeProblem::TableSize};
  return resolveRecords(item.Address, int64_t{item.Cols} * item.Rows, fileBytes);
}

RecordRange itemRecords(const ECU_Item& item) { return itemRecords(item, BIN_FileBytes); }

RecordRange itemRecords(const ECU_Item& item, int64_t fileBytes) {
  if (isFlagByte(item)) return resolveRecords(item.Address, 1, fileBytes);
  if (!isSingleValue(item)) return tableRecords(item, fileBytes);
  if (item.Bytes < 1 || item.Bytes > kMaxValueBytes) return {RangeProblem::ValueBytes};
  return resolveRecords(item.Address, item.Bytes, fileBytes);
}

const ECU_Item& chosenItem(const IndexTable& index, int selection) {
  const int position = selection + 1;
  if (position < 0 || position > kMaxItems) return ECU_Items[0];
  const int item = index[static_cast<size_t>(position)];
  return item >= 0 && item <= kMaxItems ? ECU_Items[static_cast<size_t>(item)] : ECU_Items[0];
}

std::string rangeNote(RangeProblem problem, int bytes) {
  switch (problem) {
    case RangeProblem::ValueBytes:
      return "This value cannot be edited: it has " + std::to_string(bytes) +
             " bytes, and Trimlet edits values of 1 to 4 bytes.";
    case RangeProblem::NotHexadecimal:
      return "This item cannot be shown: its address is not a hexadecimal number.";
    case RangeProblem::BeyondFile:
      return "This item cannot be shown: its bytes lie beyond the end of the BIN file.";
    case RangeProblem::TableSize:
      return "This item cannot be shown: its columns and rows must each be 1 to " +
             std::to_string(kMaxTableCells) + ".";
    case RangeProblem::None:
      break;
  }
  return {};
}

}  // namespace trimlet
