#pragma once
// Checking and converting the numbers the user types into the parameter
// dialog. The check judges the form of the text only; the conversions then
// read it as a whole, the way the toolkit's StrToFloat and StrToInt do.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

class Dialogs;

inline constexpr const char* kEntryErrorCaption = "Entry error";
inline constexpr const char* kEntryErrorText = "Invalid floating point number.\nTry again.";

// Accepts a text made of digits, at most one point before an optional
// exponent "e"/"E", a sign at the start and a sign anywhere after the "e".
// A refused text shows the "Entry error" message and returns false.
bool CheckNumberEntry(std::string_view text, Dialogs& dialogs);

// The whole text as a number: optional blanks, a sign, digits with an
// optional point (at least one digit), an optional exponent with at least
// one digit, optional blanks. Values beyond single precision are held at
// its largest value.
std::optional<float> ConvertFloat(std::string_view text);
// The whole text as a 32-bit integer: optional blanks, a sign, digits.
std::optional<std::int32_t> ConvertInteger(std::string_view text);

// The toolkit's conversion error messages, with the text filled in.
std::string FloatConversionError(std::string_view text);
std::string IntegerConversionError(std::string_view text);

}  // namespace vireo
