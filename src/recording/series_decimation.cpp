#include "recording/series_decimation.h"

#include <algorithm>

namespace vireo {

std::vector<std::size_t> GapStarts(const SeriesPoints& points, float gap) {
  std::vector<std::size_t> starts;
  if (gap <= 0.0f || !points.XAscending()) return starts;
  const auto x = points.X();
  for (const std::uint32_t i : points.Jumps()) {
    if (x[i] - x[i - 1] > gap) starts.push_back(i);
  }
  return starts;
}

void AppendDecimatedPath(const SeriesPoints& points, const PixelMapping& mapping, int penWidth,
                         std::vector<PixelPoint>& path, std::size_t from, std::size_t to) {
  const auto x = points.X();
  const auto y = points.Y();
  const std::size_t n = std::min(to, points.Count());
  // A plot narrower than its margins has no data area: its columns would run
  // backwards. It gets a line per point, which is what the reduction copies.
  if (mapping.right < mapping.left) {
    for (std::size_t i = from; i < n; ++i) {
      const PixelPoint p{mapping.PixelX(x[i]), mapping.PixelY(y[i])};
      if (path.empty() || path.back() != p) path.push_back(p);
    }
    return;
  }
  // Columns this far outside the data area never reach it, even with the
  // pen's width: they gather into one run on each side.
  const int reach = std::max(penWidth, 1) + 2;
  const int farLeft = mapping.left - reach;
  const int farRight = mapping.right + reach;
  const auto column = [&](std::size_t i) { return std::clamp(mapping.PixelX(x[i]), farLeft, farRight); };
  const auto add = [&](std::size_t i) {
    const PixelPoint p{mapping.PixelX(x[i]), mapping.PixelY(y[i])};
    if (path.empty() || path.back() != p) path.push_back(p);
  };
  // The first index in [lo, hi) beyond column c, or hi; the columns ascend.
  const auto firstBeyond = [&](std::size_t lo, std::size_t hi, int c) {
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (column(mid) <= c) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  };
  // The end of the run starting at i. With ascending times the columns
  // ascend, and a run is about as long as the one before: the search starts
  // there and widens, so it touches the points near the run's end only.
  const auto runEnd = [&](std::size_t i, int c, std::size_t guess) {
    if (!points.XAscending()) {
      std::size_t end = i + 1;
      while (end < n && column(end) == c) ++end;
      return end;
    }
    const std::size_t probe = std::min(n, i + std::max<std::size_t>(guess, 1));
    if (probe < n && column(probe) <= c) {
      for (std::size_t lo = probe + 1, step = 1;; step *= 2) {
        const std::size_t hi = std::min(n, lo + step);
        if (hi == n || column(hi) > c) return firstBeyond(lo, hi, c);
        lo = hi + 1;
      }
    }
    for (std::size_t hi = probe, step = 1;; step *= 2) {
      if (hi - (i + 1) <= step) return firstBeyond(i + 1, hi, c);
      const std::size_t mid = hi - step;
      if (column(mid) <= c) return firstBeyond(mid + 1, hi, c);
      hi = mid;
    }
  };

  std::size_t length = 1;
  for (std::size_t i = from; i < n;) {
    const int c = column(i);
    const std::size_t end = runEnd(i, c, length);
    const std::size_t last = end - 1;
    length = end - i;
    // The next run likely ends as far on: fetch its last points from memory
    // while this run is handled.
    const std::size_t ahead = std::min(n - 1, end + length);
    __builtin_prefetch(&x[ahead]);
    for (std::size_t back = 0; back < 64 && back <= ahead; back += 16) __builtin_prefetch(&y[ahead - back]);
    add(i);
    if (c != farLeft && c != farRight && last - i > 1) {
      const SeriesPoints::Extremes inner = points.YExtremes(i + 1, last);
      add(std::min(inner.lowest, inner.highest));
      add(std::max(inner.lowest, inner.highest));
    }
    add(last);
    i = end;
  }
}

}  // namespace vireo
