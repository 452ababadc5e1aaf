#include "controller/link_watch.h"

#include <algorithm>

namespace vireo {

std::uint32_t SilenceLimitMs(std::int32_t reportIntervalSeconds) {
  if (reportIntervalSeconds <= 0) return 0;
  return static_cast<std::uint32_t>(3 * reportIntervalSeconds + 5) * 1000u;
}

void LinkWatch::Connected(std::uint32_t now, std::string port) {
  condition_ = LinkCondition::Up;
  port_ = std::move(port);
  lastReply_ = now;
  attempt_ = 0;
  probes_ = 0;
  verifying_ = false;
}

bool LinkWatch::ReplyArrived(std::uint32_t now) {
  lastReply_ = now;
  if (condition_ != LinkCondition::Silent) return false;
  // A reply on the port that was silent or reopened: the controller may have
  // restarted meanwhile, so nothing is trusted until it has been read again.
  condition_ = LinkCondition::Reading;
  if (verifying_) port_ = open_;
  verifying_ = false;
  return true;
}

bool LinkWatch::ChannelFailed(std::uint32_t now) {
  const bool news = condition_ == LinkCondition::Up;
  if (condition_ == LinkCondition::Idle) return false;
  condition_ = LinkCondition::Closed;
  verifying_ = false;
  // The first attempt comes one retry interval after the failure: a device
  // that is being unplugged needs a moment to be gone or back.
  lastTry_ = now;
  if (news) attempt_ = 0;
  return news;
}

void LinkWatch::Reopened(std::uint32_t now, const std::string& port) {
  if (condition_ == LinkCondition::Idle) return;
  condition_ = LinkCondition::Silent;
  open_ = port;
  verifying_ = port != port_;
  probes_ = 0;
  // Probe at the next tick: an answer is all that is missing.
  lastTry_ = now - kLinkRetryMs;
}

bool LinkWatch::ReadingDone(std::uint32_t now) {
  if (condition_ != LinkCondition::Reading) return false;
  condition_ = LinkCondition::Up;
  lastReply_ = now;
  attempt_ = 0;
  return true;
}

LinkAction LinkWatch::Tick(std::uint32_t now, std::int32_t reportIntervalSeconds) {
  switch (condition_) {
    case LinkCondition::Idle:
      return LinkAction::None;
    case LinkCondition::Up:
    case LinkCondition::Reading: {
      const std::uint32_t limit = SilenceLimitMs(reportIntervalSeconds);
      // While its settings are read again the controller answers every query at once.
      const std::uint32_t allowed = condition_ == LinkCondition::Reading ? std::max(limit, 2 * kLinkRetryMs) : limit;
      if (allowed == 0 || now - lastReply_ < allowed) return LinkAction::None;
      const bool news = condition_ == LinkCondition::Up;
      condition_ = LinkCondition::Silent;
      probes_ = 0;
      lastTry_ = now;
      return news ? LinkAction::Lost : LinkAction::None;
    }
    case LinkCondition::Silent:
      if (now - lastTry_ < kLinkRetryMs) return LinkAction::None;
      lastTry_ = now;
      if (verifying_ && probes_ >= kOtherPortProbes) return LinkAction::Reopen;
      probes_ += 1;
      return LinkAction::Probe;
    case LinkCondition::Closed:
      if (now - lastTry_ < kLinkRetryMs) return LinkAction::None;
      lastTry_ = now;
      return LinkAction::Reopen;
  }
  return LinkAction::None;
}

std::string LinkWatch::NextPort(const std::vector<std::string>& listed) {
  // The search tries the last listed port first.
  std::vector<std::string> others;
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
    if (*it != port_) others.push_back(*it);
  }
  const int cycle = kSamePortAttempts + static_cast<int>(others.size());
  const int i = attempt_ % cycle;
  attempt_ += 1;
  return i < kSamePortAttempts ? port_ : others[static_cast<std::size_t>(i - kSamePortAttempts)];
}

}  // namespace vireo
