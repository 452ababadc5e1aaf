#pragma once
// The controller's bracketed text protocol: "[F1 TT S 25.00]" and its replies.
// A message has fixed positions: "[" at 0, the address at 1-2, the code at
// 4-5, the argument from 7 up to the closing "]".

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

inline constexpr std::size_t kAddressPos = 1;
inline constexpr std::size_t kCodePos = 4;
inline constexpr std::size_t kArgumentPos = 7;

inline constexpr std::string_view kSampleAddress = "F1";
inline constexpr std::string_view kReferenceAddress = "R1";
inline constexpr std::string_view kChangerAddress = "F2";

// The character at position i of a message, or '\0' beyond its end: replies
// are read like the zero-terminated texts they arrive as, so a short reply
// never reads outside its bytes.
char CharAt(std::string_view message, std::size_t i);

// True when the characters from position `pos` equal `text`.
bool HasAt(std::string_view message, std::size_t pos, std::string_view text);

bool AddressIs(std::string_view message, std::string_view address);
bool CodeIs(std::string_view message, std::string_view code);

// The text from position `pos` up to (not including) the first "]" after it,
// or to the end. Empty when the message is shorter.
std::string_view TextFrom(std::string_view message, std::size_t pos);
// The argument: the text from position 7 up to the "]".
std::string_view Argument(std::string_view message);

// Holder-specific replies: a first address character "F" is the sample
// holder, any other the reference holder.
bool IsSampleSide(std::string_view message);

// A leading decimal number as C's strtod/strtol read it: leading blanks, an
// optional sign, digits (with point and exponent for the floating form).
// Returns nothing when the text does not start with a number, or when the
// number is too large for single precision.
std::optional<float> ParseLeadingFloat(std::string_view text);
std::optional<std::int32_t> ParseLeadingInt(std::string_view text);
// The same, reading from position `pos` of a message up to its "]".
std::optional<float> ReadFloatAt(std::string_view message, std::size_t pos);
std::optional<std::int32_t> ReadIntAt(std::string_view message, std::size_t pos);

// A text converted as a whole, the way the target and heat-exchanger texts
// are: a text that does not start with a number gives 0.0.
float FloatOrZero(std::string_view text);

// ---- Commands the program sends ----------------------------------------

// "[F1 VN ?]"
std::string QueryCommand(std::string_view address, std::string_view code);
// "[F1 TC +]" / "[F1 TC -]"
std::string SwitchCommand(std::string_view address, std::string_view code, bool on);
// "[F1 CT +3]", or "[F1 CT -]" for an interval of 0: "+0" is never sent.
std::string ReportIntervalCommand(std::string_view address, std::string_view code, int seconds);
// "[F1 TT S 25.00]" with the value text as given.
std::string SetCommand(std::string_view address, std::string_view code, std::string_view value);
// "[F1 TT S %4.2f]"
std::string TargetCommand(std::string_view address, float target);
// "[F2 PL %d]"
std::string PositionCommand(int position);
// "[F2 DI]": the only command without an argument.
inline constexpr std::string_view kHomeCommand = "[F2 DI]";
// The same command with another two-character address ("[F1 ..." -> "[R1 ...").
std::string WithAddress(std::string_view command, std::string_view address);

// ---- Reply contents -----------------------------------------------------

// The text shown for controller error n, or nullptr for the numbers that are
// ignored (9, and anything outside 1 to 10).
const char* ErrorText(int n);

// The four status characters of an IS reply (positions 7 to 10).
struct StatusReport {
  bool restarted = false;     // "R"
  bool errorPending = false;  // anything but "0", "+" (and "?")
  bool stirrerOn = false;     // position 8 "+"
  bool controlOn = false;     // position 9 "+"
  bool stable = false;        // position 10 "S"
};
StatusReport ReadStatus(std::string_view reply);

}  // namespace vireo
