#include "recording/series_points.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vireo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f'; }

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// Plain decimals of up to 15 digits with at most 8 after the point: every
// number of a recorded series. The digits are exact in a double, and the
// double quotient by 10^k (k <= 8) lies closer to the true quotient than any
// single-precision rounding boundary that the true quotient is not on; so
// rounding it to float gives exactly what from_chars gives.
bool ReadPlainDecimal(const char*& p, const char* end, float& value) {
  std::uint64_t digits = 0;
  int count = 0, decimals = 0;
  const char* q = p;
  for (; q < end && IsDigit(*q); ++q, ++count) digits = digits * 10 + static_cast<std::uint64_t>(*q - '0');
  if (q < end && *q == '.') {
    for (++q; q < end && IsDigit(*q); ++q, ++count, ++decimals) {
      digits = digits * 10 + static_cast<std::uint64_t>(*q - '0');
    }
  }
  if (count > 15 || decimals > 8 || (q < end && (*q == 'e' || *q == 'E'))) return false;
  value = static_cast<float>(static_cast<double>(digits) / kPowersOfTen[decimals]);
  p = q;
  return true;
}

}  // namespace

bool ScanFloat(std::string_view& text, float& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsBlank(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // from_chars would also take "inf" and "nan"; "%f" numbers start with a digit or point.
  const bool startsNumber = p < end && (IsDigit(*p) || (*p == '.' && p + 1 < end && IsDigit(p[1])));
  if (!startsNumber) return false;
  float v = 0;
  if (!ReadPlainDecimal(p, end, v)) {
    const auto result = std::from_chars(p, end, v);
    if (result.ec != std::errc()) return false;
    p = result.ptr;
  }
  value = negative ? -v : v;
  text.remove_prefix(static_cast<std::size_t>(p - text.data()));
  return true;
}

void SeriesPoints::Clear() { *this = SeriesPoints(); }

void SeriesPoints::Rebuild(std::string_view text, int lineCount) {
  Clear();
  limit_ = static_cast<std::size_t>(std::max(lineCount, 0)) + 5;
  // A line takes at least two characters, except the last.
  const std::size_t room = std::min(limit_, text.size() / 2 + 1);
  x_.reserve(room);
  y_.reserve(room);
  Parse(text, 0);
}

bool SeriesPoints::AppendText(std::string_view more, int lineCount) {
  if (truncated_) return false;
  limit_ = static_cast<std::size_t>(std::max(lineCount, 0)) + 5;
  if (more.empty()) return true;
  switch (tail_) {
    case Tail::LineStart:
      Parse(more, 0);
      return true;
    case Tail::SkipOne:
      Parse(more, 1);
      return true;
    case Tail::OpenLine:
      // Only a CR that ends the open line leaves it as it was parsed.
      if (more.front() != '\r') return false;
      Parse(more, 2);
      return true;
  }
  return false;
}

void SeriesPoints::Parse(std::string_view text, std::size_t start) {
  std::size_t pos = start;
  while (pos < text.size() && !truncated_) {
    const void* cr = std::memchr(text.data() + pos, '\r', text.size() - pos);
    if (!cr) {
      ReadLine(text.substr(pos));
      tail_ = Tail::OpenLine;
      return;
    }
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
    ReadLine(text.substr(pos, end - pos));
    pos = end + 2;
  }
  tail_ = pos > text.size() ? Tail::SkipOne : Tail::LineStart;
}

void SeriesPoints::ReadLine(std::string_view line) {
  float value = 0;
  if (ScanFloat(line, value)) {
    lastX_ = value;
    haveX_ = true;
    if (ScanFloat(line, value)) {
      lastY_ = value;
      haveY_ = true;
    }
  }
  if (!haveX_ || !haveY_) return;
  if (x_.size() >= limit_) {
    truncated_ = true;
    return;
  }
  Add(lastX_, lastY_);
}

void SeriesPoints::Add(float x, float y) {
  const auto i = static_cast<std::uint32_t>(x_.size());
  if (i > 0 && x < x_.back()) ascending_ = false;
  if (i >= 2) {
    const float before = x_[i - 1] - x_[i - 2];
    const float step = x - x_[i - 1];
    if (i == 2 && before > 3.0f * step) jumps_.push_back(1);
    if (step > 3.0f * before) jumps_.push_back(i);
  }
  x_.push_back(x);
  y_.push_back(y);
  extents_.xMin = std::min(extents_.xMin, x);
  extents_.xMax = std::max(extents_.xMax, x);
  extents_.yMin = std::min(extents_.yMin, y);
  extents_.yMax = std::max(extents_.yMax, y);
  if (i % kBlock == 0) {
    blocks_.push_back({y, y, i, i});
    return;
  }
  Block& block = blocks_.back();
  if (y < block.low) {
    block.low = y;
    block.lowest = i;
  }
  if (y > block.high) {
    block.high = y;
    block.highest = i;
  }
}

SeriesPoints::Extremes SeriesPoints::YExtremes(std::size_t begin, std::size_t end) const {
  Extremes found{begin, begin};
  float low = y_[begin], high = y_[begin];
  const auto consider = [&](float value, std::size_t at) {
    if (value < low) {
      low = value;
      found.lowest = at;
    }
    if (value > high) {
      high = value;
      found.highest = at;
    }
  };
  std::size_t i = begin + 1;
  const std::size_t headEnd = std::min(end, (i + kBlock - 1) / kBlock * kBlock);
  for (; i < headEnd; ++i) consider(y_[i], i);
  for (; i + kBlock <= end; i += kBlock) {
    const Block& block = blocks_[i / kBlock];
    consider(block.low, block.lowest);
    consider(block.high, block.highest);
  }
  for (; i < end; ++i) consider(y_[i], i);
  return found;
}

}  // namespace vireo
