#include "sim/option_text.h"

namespace vireo::sim {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

bool ForEachOption(std::string_view text,
                   const std::function<bool(std::string_view key, std::string_view value, bool bare)>& apply,
                   std::string& badItem) {
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view item = Trim(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (item.empty()) continue;
    const auto equals = item.find('=');
    const bool bare = equals == std::string_view::npos;
    const std::string_view key = Trim(item.substr(0, equals));
    const std::string_view value = bare ? std::string_view() : Trim(item.substr(equals + 1));
    if (!apply(key, value, bare)) {
      badItem = std::string(item);
      return false;
    }
  }
  return true;
}

}  // namespace vireo::sim
