#include "core/conversion.h"

#include <array>
#include <charconv>
#include <cmath>

namespace trimlet {

std::optional<double> calculatedValue(double raw, int16_t operation, double factor, double offset) {
  double value = 0;
  if (operation == 0) {
    value = raw * factor + offset;
  } else if (operation == 1) {
    if (factor == 0) return std::nullopt;
    value = raw / factor + offset;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string inverseProblem(int16_t operation, double factor, double offset) {
  if (operation != 0 && operation != 1)
    return "its Operation is " + std::to_string(operation) +
           ", which gives every raw value the calculated value 0";
  if (factor == 0)
    return operation == 0 ? "its Factor is 0, which gives every raw value the same calculated value"
                          : "its Factor is 0, and dividing by it gives no calculated value";
  // The rule is linear, so the two ends of the byte range stand for every byte between.
  if (!calculatedValue(0, operation, factor, offset) ||
      !calculatedValue(255, operation, factor, offset))
    return "its Factor and Offset give calculated values too large to work with";
  return {};
}

double rawValue(double value, int16_t operation, double factor, double offset) {
  return operation == 0 ? (value - offset) / factor : (value - offset) * factor;
}

std::string formatPattern(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= kLargestShownValue) return {};

  // Round the shortest decimal form of the value, digit by digit, so 0.125 gives .13. The
  // buffer holds the longest fixed form of a double, the smallest subnormal's 300-odd digits.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::fixed);
  if (result.ec != std::errc()) return {};
  std::string digits(buffer.data(), result.ptr);
  const size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : digits.substr(point + 1);
  const bool roundUp = decimals.size() > 2 && decimals[2] >= '5';
  decimals.resize(2, '0');

  std::string number = whole + decimals;  // the value × 100, as decimal digits
  if (roundUp) {
    size_t i = number.size();
    while (i > 0) {
      --i;
      if (number[i] != '9') {
        ++number[i];
        break;
      }
      number[i] = '0';
      if (i == 0) number.insert(number.begin(), '1');
    }
  }
  whole = number.substr(0, number.size() - 2);
  decimals = number.substr(number.size() - 2);

  const size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "" : whole.substr(firstNonZero);
  while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();

  const bool negative = value < 0 && !(whole.empty() && decimals.empty());
  return (negative ? "-" : "") + whole + "." + decimals;
}

std::string formatCalculated(double raw, int16_t operation, double factor, double offset) {
  const auto value = calculatedValue(raw, operation, factor, offset);
  return value ? formatPattern(*value) : std::string();
}

}  // namespace trimlet
