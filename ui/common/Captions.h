// Captions: the program's version and the size of the loaded file in window captions, and the
// captions and names of items as the windows show them.
#pragma once

#include <QString>
#include <string_view>

namespace trimlet {

struct ECU_Item;

// Major, ".", minor and revision with nothing between the last two: 1.0.0 gives "1.00".
[[nodiscard]] QString versionText();

// "<program> Version 1.00     File Size: 32K": the size in bytes shown as kilobytes in the
// shortest decimal form.
[[nodiscard]] QString fileCaption(const QString& program, double bytes);

// An item's caption or name from the ECU file as a label or list shows it: clipped to its first
// characters, so that a caption of megabytes cannot freeze the window.
[[nodiscard]] QString itemCaption(std::string_view text);

// The item's class as the windows name it: "Flag byte", "Value", "Array" or "Map".
[[nodiscard]] QString itemClassName(const ECU_Item& item);

}  // namespace trimlet
