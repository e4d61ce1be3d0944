// Finding an item by what the user types: part of its name, or the address of one of its bytes.
#pragma once

#include <string_view>

#include "core/state.h"

namespace trimlet {

// Whether an item answers the text typed into the find window. Its name holds the text anywhere,
// whatever the case; or the text is a hexadecimal address (after "0x" or "$" if the user likes)
// of one of the item's bytes, `range` being its resolved records. Blanks around the text do not
// count; empty text matches every item.
[[nodiscard]] bool itemMatches(std::string_view name, const RecordRange& range,
                               std::string_view text);

}  // namespace trimlet
