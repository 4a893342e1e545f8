#include "sim/value_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace dravik::sim {

namespace {

int ClampedDigits(const NumberFormat& format) {
  return std::clamp(format.digits, 1, 10);
}
int ClampedDecimals(const NumberFormat& format) {
  return std::clamp(format.decimals, 0, ClampedDigits(format));
}

double PowerOfTen(int exponent) {
  double result = 1;
  for (int i = 0; i < exponent; ++i) result *= 10;
  return result;
}

// The digit places of the field with '#' in each, the decimal point where it stands.
std::string Overflow(int digits, int decimals, bool negative) {
  std::string text(static_cast<std::size_t>(digits - decimals), '#');
  if (decimals > 0) {
    if (text.empty()) text = "0";
    text += '.';
    text.append(static_cast<std::size_t>(decimals), '#');
  }
  return negative ? "-" + text : text;
}

// `magnitude` in units of the last decimal place, as the field shows it.
std::string FixedText(std::uint64_t magnitude, int digits, int decimals, bool leadingZeros) {
  std::string all = std::to_string(magnitude);
  const std::size_t width =
      leadingZeros ? static_cast<std::size_t>(digits) : static_cast<std::size_t>(decimals + 1);
  if (all.size() < width) all.insert(0, width - all.size(), '0');
  if (decimals == 0) return all;
  const std::size_t integerDigits = all.size() - static_cast<std::size_t>(decimals);
  std::string integer = all.substr(0, integerDigits);
  if (integer.empty()) integer = "0";
  return integer + "." + all.substr(integerDigits);
}

Error Refusal(std::string chinese, std::string english) {
  return Error{Bilingual{std::move(chinese), std::move(english)}};
}

std::string Plain(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.0f", value);
  return buffer;
}

}  // namespace

double RawNumber(std::uint32_t raw, const NumberFormat& format) {
  if (format.isFloat) return static_cast<double>(std::bit_cast<float>(raw));
  if (format.is32) {
    return format.isSigned ? static_cast<double>(static_cast<std::int32_t>(raw))
                           : static_cast<double>(raw);
  }
  const auto word = static_cast<std::uint16_t>(raw);
  return format.isSigned ? static_cast<double>(static_cast<std::int16_t>(word))
                         : static_cast<double>(word);
}

std::string FormatValue(std::uint32_t raw, const NumberFormat& format) {
  const int digits = ClampedDigits(format);
  const int decimals = ClampedDecimals(format);
  const double number = RawNumber(raw, format);
  if (!std::isfinite(number)) return Overflow(digits, decimals, false);
  const bool negative = number < 0;
  // Integers carry their decimals in the value; a Float is rounded to its decimals.
  const double scaled =
      format.isFloat ? std::round(std::fabs(number) * PowerOfTen(decimals)) : std::fabs(number);
  if (scaled >= PowerOfTen(digits)) return Overflow(digits, decimals, negative);
  const auto magnitude = static_cast<std::uint64_t>(scaled);
  const std::string text = FixedText(magnitude, digits, decimals, format.leadingZeros);
  return negative && magnitude != 0 ? "-" + text : text;
}

Result<std::uint32_t> ParseEntry(std::string_view typed, const NumberFormat& format,
                                 const EntryLimits& limits) {
  const int decimals = ClampedDecimals(format);
  std::string_view rest = typed;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (negative) rest.remove_prefix(1);
  const std::size_t point = rest.find('.');
  const std::string_view integer = rest.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : rest.substr(point + 1);
  const auto allDigits = [](std::string_view part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if ((integer.empty() && fraction.empty()) || !allDigits(integer) || !allDigits(fraction) ||
      integer.size() + fraction.size() > 18) {
    return Refusal("输入的不是数字", "The entry is not a number");
  }
  if (static_cast<int>(fraction.size()) > decimals) {
    return Refusal("小数位数超过 " + std::to_string(decimals) + " 位",
                   "More than " + std::to_string(decimals) + " decimals");
  }
  if (negative && !format.isSigned && !format.isFloat) {
    return Refusal("该寄存器不接受负数", "This register takes no negative values");
  }

  // The number in register units: the digits with the decimal point taken out.
  std::string units(integer);
  units += fraction;
  units.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
  std::uint64_t magnitude = 0;
  std::from_chars(units.data(), units.data() + units.size(), magnitude);
  const double value = negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);

  double lowest = 0;
  double highest = 0;
  if (format.isFloat) {
    lowest = -std::numeric_limits<float>::max();
    highest = std::numeric_limits<float>::max();
  } else if (format.is32) {
    lowest = format.isSigned ? -2147483648.0 : 0;
    highest = format.isSigned ? 2147483647.0 : 4294967295.0;
  } else {
    lowest = format.isSigned ? -32768.0 : 0;
    highest = format.isSigned ? 32767.0 : 65535.0;
  }
  // A Float is held against its range and limits as the number it is; integers in
  // register units.
  const double compared = format.isFloat ? value / PowerOfTen(decimals) : value;
  if (compared < lowest || compared > highest) {
    return Refusal("超出寄存器的范围 " + Plain(lowest) + " ~ " + Plain(highest),
                   "Out of the register's range " + Plain(lowest) + " ~ " + Plain(highest));
  }
  if (compared < limits.lower || compared > limits.upper) {
    return Refusal("超出设定范围 " + Plain(limits.lower) + " ~ " + Plain(limits.upper),
                   "Outside the limits " + Plain(limits.lower) + " ~ " + Plain(limits.upper));
  }
  if (format.isFloat) {
    return std::bit_cast<std::uint32_t>(static_cast<float>(compared));
  }
  const auto bits = static_cast<std::int64_t>(value);
  return format.is32 ? static_cast<std::uint32_t>(bits)
                     : static_cast<std::uint32_t>(static_cast<std::uint16_t>(bits));
}

}  // namespace dravik::sim
