#pragma once
// Reading the simulators' comma-separated option texts ("key=value,flag").

#include <charconv>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>

namespace vireo::sim {

// Calls `apply` with the key, value and whether the item came bare (no "=")
// for each non-empty item, trimmed. Stops at the first item `apply` refuses
// and returns false with that item in `badItem`.
bool ForEachOption(std::string_view text,
                   const std::function<bool(std::string_view key, std::string_view value, bool bare)>& apply,
                   std::string& badItem);

template <typename T>
bool ReadNumber(std::string_view text, T& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

inline bool ReadReal(std::string_view text, double low, double high, double& value) {
  double read = 0.0;
  if (!ReadNumber(text, read) || !std::isfinite(read) || read < low || read > high) return false;
  value = read;
  return true;
}

}  // namespace vireo::sim
