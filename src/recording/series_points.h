#pragma once
// The parsed copy of a series: its points as the plot reads them from the
// series text, kept up to date record by record so that a redraw need not
// parse the whole text again.
//
// Text rules: a line runs to the next CR or to the end of the text, and the
// next line starts two characters after that CR (CR LF); a text that ends
// with its line break has no further, empty line. Each line is read like
// C's "%f%f": time, then temperature, separated by blanks or tabs. A number
// that cannot be read keeps the previous line's value; reading stops at the
// first unreadable number, as scanf does. Lines give points only once a time
// and a temperature have both been read, so leading lines without numbers
// (a header, say) add nothing. A series holds at most its memo's line count
// plus 5 points.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vireo {

// Horizontal and vertical extents of a set of points.
struct PointExtents {
  float xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool operator==(const PointExtents&) const = default;
};

// Where a series' extents start before its first point: the time maximum is
// therefore never below 0, and the time minimum never above 2000.
inline constexpr PointExtents kSeriesStartExtents{2000.0f, 0.0f, 500.0f, -500.0f};

// Reads one number from the front of `text` as "%f" does: blanks (space,
// tab, LF, VT, FF), an optional sign, digits with an optional point and
// exponent. On success removes what was read from `text`. A number beyond
// single precision's range counts as unreadable, and so do "inf" and "nan":
// the plot can place neither.
bool ScanFloat(std::string_view& text, float& value);

class SeriesPoints {
 public:
  // Indexes of the lowest and highest vertical value in a range of points.
  struct Extremes {
    std::size_t lowest = 0, highest = 0;
  };

  // Parses a whole series text. `lineCount` is its memo's line count.
  void Rebuild(std::string_view text, int lineCount);
  // Continues the parse with `more`, added at the end of the text; the memo
  // now has `lineCount` lines. Returns false when the result could differ
  // from parsing the whole new text (an unfinished last line that `more`
  // extends, or points cut off by the bound); Rebuild then.
  [[nodiscard]] bool AppendText(std::string_view more, int lineCount);
  // An empty series.
  void Clear();
  // Adds one point without bound, for series that do not come from text.
  // A series holds fewer than 2^32 points.
  void Add(float x, float y);

  std::size_t Count() const { return x_.size(); }
  std::span<const float> X() const { return x_; }  // time, minutes
  std::span<const float> Y() const { return y_; }  // temperature, degrees Celsius
  // kSeriesStartExtents widened by every point.
  const PointExtents& Extents() const { return extents_; }
  // True when no point's x is below the one before it.
  bool XAscending() const { return ascending_; }
  // Over points [begin, end), begin < end <= Count(); the earliest on ties.
  Extremes YExtremes(std::size_t begin, std::size_t end) const;
  // The points whose step in x from the one before is more than three times
  // the step before that (for point 1: the step after it), ascending. Kept
  // as points come, so that the plot finds its gaps without a look at every point.
  std::span<const std::uint32_t> Jumps() const { return jumps_; }

 private:
  // Where the next line starts relative to the end of the text parsed so far.
  enum class Tail { LineStart, SkipOne, OpenLine };
  static constexpr std::size_t kBlock = 64;

  void Parse(std::string_view text, std::size_t start);
  void ReadLine(std::string_view line);

  std::vector<float> x_, y_;
  // Per block of kBlock points: the lowest and highest y and where they are,
  // so that extremes of long ranges take a look per block instead of per
  // point, without reaching into the points themselves.
  struct Block {
    float low, high;
    std::uint32_t lowest, highest;
  };
  std::vector<Block> blocks_;
  std::vector<std::uint32_t> jumps_;
  PointExtents extents_ = kSeriesStartExtents;
  bool ascending_ = true;

  float lastX_ = 0, lastY_ = 0;
  bool haveX_ = false, haveY_ = false;
  Tail tail_ = Tail::LineStart;
  std::size_t limit_ = 5;
  bool truncated_ = false;
};

}  // namespace vireo
