#include "control/number_entry.h"

#include <cfloat>
#include <cstdlib>

#include "shell/services.h"

namespace vireo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool WellFormed(std::string_view text) {
  if (text.empty()) return false;
  bool sign = false, exponent = false, exponentSign = false, point = false, digit = false;
  for (const char c : text) {
    if (c == '+' || c == '-') {
      if (exponent && !exponentSign) {
        exponentSign = true;
      } else if (digit || sign || point) {
        return false;
      } else {
        sign = true;  // a "-" makes the number negative; only the form matters here
      }
    } else if (c == 'e' || c == 'E') {
      if (exponent) return false;
      exponent = true;
    } else if (c == '.') {
      if (exponent || point) return false;
      point = true;
    } else if (IsDigit(c)) {
      digit = true;
    } else {
      return false;
    }
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Index past an optional sign and a run of digits; `digits` counts them.
std::size_t SkipDigits(std::string_view t, std::size_t i, int& digits) {
  for (; i < t.size() && IsDigit(t[i]); ++i) ++digits;
  return i;
}

}  // namespace

bool CheckNumberEntry(std::string_view text, Dialogs& dialogs) {
  if (WellFormed(text)) return true;
  dialogs.Message(kEntryErrorText, kEntryErrorCaption, Buttons::Ok);
  return false;
}

std::optional<float> ConvertFloat(std::string_view text) {
  const std::string_view t = Trimmed(text);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  int digits = 0;
  i = SkipDigits(t, i, digits);
  if (i < t.size() && t[i] == '.') i = SkipDigits(t, i + 1, digits);
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    int exponentDigits = 0;
    i = SkipDigits(t, i, exponentDigits);
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  const std::string copy(t);
  const double value = std::strtod(copy.c_str(), nullptr);  // "." decimal point: LC_NUMERIC is "C"
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
}

std::optional<std::int32_t> ConvertInteger(std::string_view text) {
  const std::string_view t = Trimmed(text);
  std::size_t i = 0;
  const bool negative = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  if (i == t.size()) return std::nullopt;
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (!IsDigit(t[i])) return std::nullopt;
    value = value * 10 + (t[i] - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

namespace {

// Built by appending: g++ 12's optimiser warns wrongly (-Wrestrict) about "'" + std::string.
std::string Quoted(std::string_view text, std::string_view rest) {
  std::string message(1, '\'');
  message.append(text).append(rest);
  return message;
}

}  // namespace

std::string FloatConversionError(std::string_view text) { return Quoted(text, "' is not a valid floating point value"); }

std::string IntegerConversionError(std::string_view text) { return Quoted(text, "' is not a valid integer value"); }

}  // namespace vireo
