#include "ui/common/Captions.h"

#include <array>
#include <charconv>

#include "core/state.h"

namespace trimlet {

QString versionText() {
  return QString::number(TRIMLET_VERSION_MAJOR) + "." + QString::number(TRIMLET_VERSION_MINOR) +
         QString::number(TRIMLET_VERSION_PATCH);
}

QString fileCaption(const QString& program) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    (BIN_Size - 16) / 1024, std::chars_format::fixed);
  return program + " Version " + versionText() + "     File Size: " +
         QString::fromLatin1(buffer.data(), static_cast<int>(result.ptr - buffer.data())) + "K";
}

}  // namespace trimlet
