#include "recording/qpainter_canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLine>
#include <QPaintDevice>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <QVector>

#include "control/wide_text.h"

namespace vireo {
namespace {

QColor ToQColor(PlotColour c) { return QColor(c.red, c.green, c.blue); }
QPoint ToQPoint(PixelPoint p) { return QPoint(p.x, p.y); }

}  // namespace

QPainterCanvas::QPainterCanvas(QPaintDevice& device) : device_(device), painter_(&device) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  pen_.setColor(Qt::black);
  pen_.setWidth(1);
  pen_.setCapStyle(Qt::SquareCap);
  painter_.setPen(pen_);
  // GDI sizes the font by its cell (ascent + descent), Qt by its em: scale
  // from a trial size.
  QFont font(QStringLiteral("Arial"));
  font.setWeight(QFont::Medium);
  font.setPixelSize(kCellHeight);
  const QFontMetricsF trial(font, &device_);
  font.setPixelSize(qMax(1, qRound(kCellHeight * kCellHeight / (trial.ascent() + trial.descent()))));
  painter_.setFont(font);
  baseline_ = kCellHeight - painter_.fontMetrics().descent();
}

QPainterCanvas::~QPainterCanvas() { painter_.end(); }

void QPainterCanvas::SetPenColour(PlotColour colour) {
  pen_.setColor(ToQColor(colour));
  painter_.setPen(pen_);
}

void QPainterCanvas::SetPenWidth(int width) {
  pen_.setWidth(width);
  painter_.setPen(pen_);
}

void QPainterCanvas::SetPenStyle(PenStyle style) {
  // Square ends would stretch every dot.
  pen_.setStyle(style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
  pen_.setCapStyle(style == PenStyle::Dotted ? Qt::FlatCap : Qt::SquareCap);
  painter_.setPen(pen_);
}

PixelRect QPainterCanvas::ClipRect() const {
  const QRect surface(0, 0, device_.width(), device_.height());
  const QRect box = painter_.hasClipping() ? painter_.clipBoundingRect().toAlignedRect() & surface : surface;
  return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}

void QPainterCanvas::SelectClipPolygon(std::span<const PixelPoint> polygon) {
  QPolygon corners;
  for (const PixelPoint& p : polygon) corners << ToQPoint(p);
  painter_.setClipRegion(QRegion(corners));
}

void QPainterCanvas::RemoveClip() { painter_.setClipping(false); }

void QPainterCanvas::FillRect(PixelRect rect) {
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(brushColour_));
}

bool QPainterCanvas::IsBand(PixelPoint a, PixelPoint b) const {
  return pen_.style() == Qt::SolidLine && (a.x == b.x || a.y == b.y);
}

// A solid horizontal or vertical line is the rectangle its square-ended band
// covers, the very pixels Qt strokes for it; filling is much quicker.
QRect QPainterCanvas::Band(PixelPoint a, PixelPoint b) const {
  const int width = qMax(pen_.width(), 1);
  const int before = width / 2;
  return QRect(QPoint(qMin(a.x, b.x) - before, qMin(a.y, b.y) - before),
               QPoint(qMax(a.x, b.x) - before + width - 1, qMax(a.y, b.y) - before + width - 1));
}

void QPainterCanvas::LineTo(PixelPoint point) {
  if (point != position_) {
    if (IsBand(position_, point)) {
      painter_.fillRect(Band(position_, point), pen_.color());
    } else {
      painter_.drawLine(ToQPoint(position_), ToQPoint(point));
    }
  }
  position_ = point;
}

void QPainterCanvas::Polyline(std::span<const PixelPoint> points) {
  if (points.empty()) return;
  // The same lines as LineTo, in two batches. Joined vertical lines in one
  // column (a dense series) merge into one band: their union is the same.
  QVector<QLine> slanted;
  QVector<QRect> bands;
  bool columnOpen = false;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const PixelPoint a = points[i - 1], b = points[i];
    if (a == b) continue;
    if (!IsBand(a, b)) {
      slanted.append(QLine(ToQPoint(a), ToQPoint(b)));
      columnOpen = false;
      continue;
    }
    const QRect band = Band(a, b);
    if (columnOpen && a.x == b.x && bands.back().left() == band.left()) {
      bands.back() |= band;
    } else {
      bands.append(band);
    }
    columnOpen = a.x == b.x;
  }
  painter_.drawLines(slanted);
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(pen_.color());
  painter_.drawRects(bands);
  painter_.restore();
  position_ = points.back();
}

void QPainterCanvas::Rectangle(PixelRect rect) {
  painter_.setBrush(brushStyle_ == BrushStyle::Solid ? QBrush(ToQColor(brushColour_)) : QBrush(Qt::NoBrush));
  // A one-pixel outline of QRect(x, y, w, h) covers w + 1 columns.
  painter_.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
}

int QPainterCanvas::TextWidth(std::string_view text) const {
  return painter_.fontMetrics().horizontalAdvance(Widened(text));
}

void QPainterCanvas::TextOut(int x, int y, std::string_view text) {
  const QString wide = Widened(text);
  painter_.save();
  painter_.translate(x, y);
  if (direction_ == FontDirection::Upwards) painter_.rotate(-90);
  if (brushStyle_ == BrushStyle::Solid) {
    painter_.fillRect(QRect(0, 0, painter_.fontMetrics().horizontalAdvance(wide), kCellHeight), ToQColor(brushColour_));
  }
  painter_.setPen(Qt::black);
  painter_.drawText(QPoint(0, baseline_), wide);
  painter_.restore();
}

}  // namespace vireo
