// The editor window's fields that its frame and panels share.
#pragma once

#include <array>
#include <cstdint>

#include "core/state.h"

namespace trimlet {

// List position (from 1) to item number; position 0 is never written and holds 0.
using IndexTable = std::array<int16_t, kMaxItems + 1>;

struct EditorFields {
  bool Saved = true;
  bool Updating = false;
  int16_t RotAngle = 30;

  int16_t FlagCount = 0;
  int16_t ValueCount = 0;
  int16_t ArrayCount = 0;
  int16_t MapCount = 0;
  IndexTable FlagIndex{};
  IndexTable ValueIndex{};
  IndexTable ArrayIndex{};
  IndexTable MapIndex{};

  bool ArrayRaw = true;
  bool MapRaw = true;
  int16_t ArrayCols = 0;
  int16_t ArrayRows = 0;
  int16_t MapCols = 0;
  int16_t MapRows = 0;
  double MapMaxX = 0;
  double MapMinY = 0;
};

// The item a list's 0-based selection stands for (selection -1 gives item 0, which is empty).
[[nodiscard]] inline const ECU_Item& chosenItem(const IndexTable& index, int selection) {
  const int position = selection + 1;
  if (position < 0 || position > kMaxItems) return ECU_Items[0];
  const int item = index[static_cast<size_t>(position)];
  return item >= 0 && item <= kMaxItems ? ECU_Items[static_cast<size_t>(item)] : ECU_Items[0];
}

}  // namespace trimlet
