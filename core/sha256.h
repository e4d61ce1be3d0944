// SHA-256 of a run of bytes, for telling whether a file is the one a record was made against.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trimlet {

using Sha256 = std::array<uint8_t, 32>;

[[nodiscard]] Sha256 sha256(std::string_view bytes);

// The digest as 64 lower-case hexadecimal digits, the form files store it in.
[[nodiscard]] std::string sha256Text(const Sha256& digest);

}  // namespace trimlet
