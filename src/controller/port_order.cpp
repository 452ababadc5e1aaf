#include "controller/port_order.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace vireo {
namespace {

struct PortKey {
  int group;
  long number;
  std::string name;
  bool operator<(const PortKey& o) const { return std::tie(group, number, name) < std::tie(o.group, o.number, o.name); }
};

PortKey KeyOf(const std::string& port) {
  std::string_view base(port);
  const auto slash = base.rfind('/');
  if (slash != std::string_view::npos) base = base.substr(slash + 1);
  static const std::string_view kGroups[] = {"ttyS", "ttyUSB", "ttyACM", "rfcomm"};
  int group = 0;  // unknown names first: least likely to be the controller
  std::string_view digits;
  for (int g = 0; g < 4; ++g) {
    const auto prefix = kGroups[g];
    if (base.starts_with(prefix) && base.size() > prefix.size() &&
        std::all_of(base.begin() + static_cast<long>(prefix.size()), base.end(),
                    [](char c) { return c >= '0' && c <= '9'; })) {
      group = g + 1;
      digits = base.substr(prefix.size());
    }
  }
  long number = 0;
  for (char c : digits) number = std::min(number * 10 + (c - '0'), 1000000L);
  return {group, number, port};
}

}  // namespace

void OrderPortsForSearch(std::vector<std::string>& ports) {
  std::stable_sort(ports.begin(), ports.end(),
                   [](const std::string& a, const std::string& b) { return KeyOf(a) < KeyOf(b); });
}

}  // namespace vireo
