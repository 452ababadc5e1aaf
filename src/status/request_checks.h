#pragma once
// The checks every request to the status server passes before anything is
// read for it: the Host header (against DNS rebinding), the token, and the
// rate of requests per client. Pure, so they are tested without sockets.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vireo {

// True when `host` (the Host header) names this server: an IPv4 or
// bracketed IPv6 address, "localhost" or one of `names`, each followed by
// ":port"; without a port only when `port` is 80. A browser that reached us
// through a rebound domain name sends that name and is turned away.
bool HostAllowed(std::string_view host, std::uint16_t port, const std::vector<std::string>& names);

// Equal texts, in a time that depends only on the length of `given`.
bool TokensEqual(std::string_view expected, std::string_view given);

// The token from "Bearer TOKEN"; empty when the header is of another kind.
std::string_view BearerToken(std::string_view authorization);

// At most `perSecond` requests a second per client, in bursts of up to `burst`.
class RateLimiter {
 public:
  RateLimiter(double perSecond, double burst) : perSecond_(perSecond), burst_(burst) {}
  // False when `client` has used up its allowance at `nowMs`.
  bool Allow(const std::string& client, std::int64_t nowMs);

 private:
  struct Bucket {
    double tokens = 0;
    std::int64_t lastMs = 0;
  };
  // Clients beyond this many are forgotten (the fullest buckets first would
  // be fairer; forgetting all keeps memory bounded, and costs a burst).
  static constexpr std::size_t kMaxClients = 1024;
  double perSecond_;
  double burst_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace vireo
