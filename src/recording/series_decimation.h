#pragma once
// Drawing a dense series with a few vertices per pixel column instead of a
// line per point, with exactly the same pixels.
//
// Consecutive points that fall in one pixel column form a run; the run is
// drawn through its first point, its lowest and highest inner points (in
// their order) and its last point. Within the column those lines cover the
// same span as the lines through every point, and the lines between columns
// are the very same lines. This holds whenever each line is drawn on its own
// (no joins), as the canvas does. Runs wholly outside the data area, beyond
// the reach of the pen, keep only their first and last points: everything
// between them is clipped anyway.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "recording/pixel_mapping.h"
#include "recording/plot_canvas.h"
#include "recording/series_points.h"

namespace vireo {

// Appends the vertices of the polyline for `points` to `path`. Vertices equal
// to the one before them are left out; a line between them draws nothing.
// Only the points [from, to) are taken.
void AppendDecimatedPath(const SeriesPoints& points, const PixelMapping& mapping, int penWidth,
                         std::vector<PixelPoint>& path, std::size_t from = 0, std::size_t to = SIZE_MAX);

// Where the line breaks: the indices of points that follow a gap in the
// reports, ascending. A gap is one of the series' jumps (a step more than
// three times the usual one) that is also wider than `gap`, so that data
// recorded at a slower pace than the current one keep their line. None when
// `gap` is 0 or the x values do not ascend.
std::vector<std::size_t> GapStarts(const SeriesPoints& points, float gap);

}  // namespace vireo
