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

#include <vector>

#include "recording/pixel_mapping.h"
#include "recording/plot_canvas.h"
#include "recording/series_points.h"

namespace vireo {

// Appends the vertices of the polyline for `points` to `path`. Vertices equal
// to the one before them are left out; a line between them draws nothing.
void AppendDecimatedPath(const SeriesPoints& points, const PixelMapping& mapping, int penWidth,
                         std::vector<PixelPoint>& path);

}  // namespace vireo
