#include "controller/protocol.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

#include "control/text_helpers.h"

namespace vireo {

char CharAt(std::string_view message, std::size_t i) {
  return i < message.size() ? message[i] : '\0';
}

bool HasAt(std::string_view message, std::size_t pos, std::string_view text) {
  return pos <= message.size() && message.substr(pos).starts_with(text);
}

bool AddressIs(std::string_view message, std::string_view address) {
  return CharAt(message, kAddressPos) == CharAt(address, 0) &&
         CharAt(message, kAddressPos + 1) == CharAt(address, 1);
}

bool CodeIs(std::string_view message, std::string_view code) {
  return CharAt(message, kCodePos) == CharAt(code, 0) &&
         CharAt(message, kCodePos + 1) == CharAt(code, 1);
}

std::string_view TextFrom(std::string_view message, std::size_t pos) {
  // An empty text still points into the message: copying it never reads a
  // null pointer.
  if (pos >= message.size()) return message.substr(message.size());
  std::string_view rest = message.substr(pos);
  const auto close = rest.find(']');
  if (close != std::string_view::npos) rest = rest.substr(0, close);
  const auto nul = rest.find('\0');
  return nul == std::string_view::npos ? rest : rest.substr(0, nul);
}

std::string_view Argument(std::string_view message) { return TextFrom(message, kArgumentPos); }

bool IsSampleSide(std::string_view message) { return CharAt(message, kAddressPos) == 'F'; }

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and a sign; returns the position of the first digit
// (or point) and whether the number is negative.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

std::optional<float> ParseLeadingFloat(std::string_view text) {
  bool negative = false;
  const std::size_t start = SkipBlanksAndSign(text, negative);
  std::size_t i = start;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  // An exponent counts only when digits follow it ("1e" reads as 1).
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  // A number beyond single precision is no reading: an infinite value would
  // only corrupt the records and the displays.
  float value = 0.0f;
  const auto result = std::from_chars(text.data() + start, text.data() + i, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Like strtod, an underflow reads as zero.
    bool overflow = true;
    for (std::size_t k = start; k < i; ++k) {
      if (text[k] == 'e' || text[k] == 'E') overflow = text[k + 1] != '-';
    }
    if (overflow) return std::nullopt;
    value = 0.0f;
  } else if (result.ec != std::errc() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<std::int32_t> ParseLeadingInt(std::string_view text) {
  bool negative = false;
  std::size_t i = SkipBlanksAndSign(text, negative);
  if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT32_MAX) + 1) value = static_cast<long long>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<std::int32_t>(value);
}

std::optional<float> ReadFloatAt(std::string_view message, std::size_t pos) {
  return ParseLeadingFloat(TextFrom(message, pos));
}

std::optional<std::int32_t> ReadIntAt(std::string_view message, std::size_t pos) {
  return ParseLeadingInt(TextFrom(message, pos));
}

float FloatOrZero(std::string_view text) { return ParseLeadingFloat(text).value_or(0.0f); }

namespace {

// "[address code rest]", appended piece by piece: chained std::string
// operator+ trips g++ 12's -Wrestrict false positive under optimisation.
std::string Command(std::string_view address, std::string_view code, std::string_view rest) {
  std::string out;
  out.reserve(address.size() + code.size() + rest.size() + 4);
  out.push_back('[');
  out.append(address);
  out.push_back(' ');
  out.append(code);
  out.append(rest);
  out.push_back(']');
  return out;
}

}  // namespace

std::string QueryCommand(std::string_view address, std::string_view code) { return Command(address, code, " ?"); }

std::string SwitchCommand(std::string_view address, std::string_view code, bool on) {
  return Command(address, code, on ? " +" : " -");
}

std::string ReportIntervalCommand(std::string_view address, std::string_view code, int seconds) {
  if (seconds == 0) return SwitchCommand(address, code, false);
  return Command(address, code, " +" + std::to_string(seconds));
}

std::string SetCommand(std::string_view address, std::string_view code, std::string_view value) {
  std::string rest = " S ";
  rest.append(value);
  return Command(address, code, rest);
}

std::string TargetCommand(std::string_view address, float target) {
  return SetCommand(address, "TT", Format("%4.2f", static_cast<double>(target)));
}

std::string PositionCommand(int position) { return Format("[F2 PL %d]", position); }

std::string WithAddress(std::string_view command, std::string_view address) {
  std::string result(command);
  for (std::size_t i = 0; i < 2 && kAddressPos + i < result.size() && i < address.size(); ++i) {
    result[kAddressPos + i] = address[i];
  }
  return result;
}

const char* ErrorText(int n) {
  static const char* const kTexts[] = {
      "Error 0: Undocumented error",
      "Error 1: PID control range error",
      "Error 2: EEPROM hardware failure",
      "Error 3: bad EEPROM jumper",
      "Error 4: EEPROM read error",
      "Error 5: cell T out of range. (Loose cable? Sensor failure?)",
      "Error 6: cell T and heat exchanger T out of range.  (Loose cable?)",
      "Error 7: heat exchanger T out of range. (Loose cable? Sensor failure?)",
      "Error 8: inadequate coolant (check flow).  Temperature control has shut down.",
      "Error 9: format error on a preceding command",
      "Error 10: cell T exceeded max allowed. Temperature control has shut down.",
  };
  if (n < 1 || n > 10 || n == 9) return nullptr;
  return kTexts[n];
}

StatusReport ReadStatus(std::string_view reply) {
  StatusReport s;
  const char first = CharAt(reply, kArgumentPos);
  s.restarted = first == 'R';
  s.errorPending = first != '0' && first != '+' && first != '?';
  s.stirrerOn = CharAt(reply, kArgumentPos + 1) == '+';
  s.controlOn = CharAt(reply, kArgumentPos + 2) == '+';
  s.stable = CharAt(reply, kArgumentPos + 3) == 'S';
  return s;
}

}  // namespace vireo
