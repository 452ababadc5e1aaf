#include "control/text_helpers.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace vireo {

std::string Format(const char* format, ...) {
  char small[128];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string result;
  if (n < 0) {
    va_end(again);
    return result;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    result.assign(small, static_cast<std::size_t>(n));
  } else {
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, again);
    result.assign(big.data(), static_cast<std::size_t>(n));
  }
  va_end(again);
  return result;
}

void NarrowCopy(std::u16string_view source, char* destination, std::size_t size) {
  if (size == 0) return;
  const std::size_t n = source.size() < size - 1 ? source.size() : size - 1;
  for (std::size_t i = 0; i < n; ++i) destination[i] = static_cast<char>(source[i] & 0xFF);
  destination[n] = '\0';
}

void WidenCopy(std::string_view source, char16_t* destination, std::size_t size) {
  if (size == 0) return;
  const std::size_t n = source.size() < size - 1 ? source.size() : size - 1;
  for (std::size_t i = 0; i < n; ++i) destination[i] = static_cast<char16_t>(static_cast<unsigned char>(source[i]));
  destination[n] = u'\0';
}

std::string_view UpToFirstBlank(std::string_view text) {
  const auto blank = text.find(' ');
  return blank == std::string_view::npos ? text : text.substr(0, blank);
}

}  // namespace vireo
