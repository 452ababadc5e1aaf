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

std::string_view UpToFirstBlank(std::string_view text) {
  const auto blank = text.find(' ');
  return blank == std::string_view::npos ? text : text.substr(0, blank);
}

}  // namespace vireo
