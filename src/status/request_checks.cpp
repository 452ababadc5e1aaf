#include "status/request_checks.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <charconv>

namespace vireo {
namespace {

bool IsIpv4(std::string_view text) {
  const std::string copy(text);
  in_addr address{};
  return inet_pton(AF_INET, copy.c_str(), &address) == 1;
}

bool IsIpv6(std::string_view text) {
  const std::string copy(text);
  in6_addr address{};
  return inet_pton(AF_INET6, copy.c_str(), &address) == 1;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

bool HostAllowed(std::string_view host, std::uint16_t port, const std::vector<std::string>& names) {
  std::string_view name = host;
  std::string_view portText;
  if (host.starts_with('[')) {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) return false;
    name = host.substr(1, close - 1);
    const std::string_view rest = host.substr(close + 1);
    if (!rest.empty()) {
      if (!rest.starts_with(':')) return false;
      portText = rest.substr(1);
    }
    if (!IsIpv6(name)) return false;
  } else {
    const std::size_t colon = host.rfind(':');
    if (colon != std::string_view::npos) {
      name = host.substr(0, colon);
      portText = host.substr(colon + 1);
    }
    const bool known = IsIpv4(name) || SameName(name, "localhost") ||
                       std::any_of(names.begin(), names.end(), [name](const std::string& n) { return SameName(n, name); });
    if (!known) return false;
  }
  if (portText.empty()) return host.back() != ':' && port == 80;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
  return error == std::errc() && end == portText.data() + portText.size() && value == port;
}

bool TokensEqual(std::string_view expected, std::string_view given) {
  // Every byte of the given token is compared, whatever differs first.
  unsigned char difference = expected.size() == given.size() ? 0 : 1;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const unsigned char e = expected.empty() ? 0 : static_cast<unsigned char>(expected[i % expected.size()]);
    difference |= static_cast<unsigned char>(e ^ static_cast<unsigned char>(given[i]));
  }
  return difference == 0 && !expected.empty();
}

std::string_view BearerToken(std::string_view authorization) {
  constexpr std::string_view kScheme = "Bearer ";
  if (authorization.size() <= kScheme.size() || !SameName(authorization.substr(0, kScheme.size()), kScheme)) return {};
  return authorization.substr(kScheme.size());
}

bool RateLimiter::Allow(const std::string& client, std::int64_t nowMs) {
  if (buckets_.size() >= kMaxClients && !buckets_.contains(client)) buckets_.clear();
  auto [it, added] = buckets_.try_emplace(client, Bucket{burst_, nowMs});
  Bucket& b = it->second;
  if (!added) {
    b.tokens = std::min(burst_, b.tokens + static_cast<double>(std::max<std::int64_t>(0, nowMs - b.lastMs)) *
                                               perSecond_ / 1000.0);
    b.lastMs = nowMs;
  }
  if (b.tokens < 1.0) return false;
  b.tokens -= 1.0;
  return true;
}

}  // namespace vireo
