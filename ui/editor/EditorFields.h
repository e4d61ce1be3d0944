// The editor window's fields that its frame and panels share.
#pragma once

#include <array>
#include <cstdint>

#include "core/state.h"

namespace trimlet {

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

}  // namespace trimlet
