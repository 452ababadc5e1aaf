#include "recording/recording_canvas.h"

#include <algorithm>

namespace vireo {

PixelRect RecordingCanvas::ClipRect() const {
  PixelRect box{0, 0, width_, height_};
  if (clip_) {
    box.left = std::max(box.left, clip_->left);
    box.top = std::max(box.top, clip_->top);
    box.right = std::min(box.right, clip_->right);
    box.bottom = std::min(box.bottom, clip_->bottom);
  }
  return box;
}

void RecordingCanvas::SelectClipPolygon(std::span<const PixelPoint> polygon) {
  clips.emplace_back(polygon.begin(), polygon.end());
  if (polygon.empty()) {
    clip_ = PixelRect{};
    return;
  }
  PixelRect box{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
  for (const PixelPoint& p : polygon) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  clip_ = box;
}

void RecordingCanvas::LineTo(PixelPoint point) {
  if (point != position_) lines.push_back({position_, point, pen_});
  position_ = point;
}

std::vector<RecordingCanvas::Line> RecordingCanvas::LinesIn(const Pen& pen) const {
  std::vector<Line> found;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(found), [&](const Line& l) { return l.pen == pen; });
  return found;
}

std::vector<std::string> RecordingCanvas::TextsIn(FontDirection direction) const {
  std::vector<std::string> found;
  for (const Text& t : texts) {
    if (t.direction == direction) found.push_back(t.text);
  }
  return found;
}

}  // namespace vireo
