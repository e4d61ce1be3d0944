// The raw-to-calculated value rule and the "##.##" display pattern.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace trimlet {

// Operation 0: raw × factor + offset; 1: raw ÷ factor + offset; any other: 0. No value exists
// when operation 1 would divide by zero or the result is not finite.
[[nodiscard]] std::optional<double> calculatedValue(double raw, int16_t operation, double factor,
                                                    double offset);

// Why calculated values cannot be turned back into raw numbers under this rule ("its Factor is
// 0, ..."); empty when they can: Operation 0 or 1, a Factor other than 0, and every byte with a
// calculated value.
[[nodiscard]] std::string inverseProblem(int16_t operation, double factor, double offset);

// The raw number, not rounded, whose calculated value is `value`: the rule run backwards. Only
// for a rule inverseProblem accepts.
[[nodiscard]] double rawValue(double value, int16_t operation, double factor, double offset);

// Values at or beyond this magnitude are too large for two decimals to mean anything.
inline constexpr double kLargestShownValue = 1e15;

// The value in the pattern "##.##": rounded to two decimals (halves away from zero on the
// decimal value), no leading zero, the point always, trailing zeros of the decimals dropped.
// Empty for a value that is not finite or too large to show.
[[nodiscard]] std::string formatPattern(double value);

// The pattern applied to the calculated value, or empty when no value exists.
[[nodiscard]] std::string formatCalculated(double raw, int16_t operation, double factor,
                                           double offset);

}  // namespace trimlet
