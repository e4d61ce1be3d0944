// Window captions: the program's version and the size of the loaded file.
#pragma once

#include <QString>

namespace trimlet {

// Major, ".", minor and revision with nothing between the last two: 1.0.0 gives "1.00".
[[nodiscard]] QString versionText();

// "<program> Version 1.00     File Size: 32K": the size in bytes shown as kilobytes in the
// shortest decimal form.
[[nodiscard]] QString fileCaption(const QString& program, double bytes);

}  // namespace trimlet
