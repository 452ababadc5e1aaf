#include "shell/widgets.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vireo {

QColor ToQColor(const PlotColour& c) { return QColor(c.red, c.green, c.blue); }

void SetFontColour(QWidget* w, const PlotColour& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, ToQColor(c));
  p.setColor(QPalette::Text, ToQColor(c));
  w->setPalette(p);
}

PlotColour FontColour(const QWidget* w) {
  const QColor c = w->palette().color(QPalette::WindowText);
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

LedShape::LedShape(QWidget* parent) : QWidget(parent) { resize(12, 12); }

void LedShape::SetColour(const PlotColour& c) {
  if (c == colour_) return;
  colour_ = c;
  update();
}

void LedShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::black);
  p.setBrush(ToQColor(colour_));
  p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

Panel::Panel(QWidget* parent) : QFrame(parent) {}

void Panel::SetColour(const PlotColour& c) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(c));
  setPalette(p);
}

void Panel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked();
  QFrame::mousePressEvent(e);
}

void Panel::mouseDoubleClickEvent(QMouseEvent* e) {
  emit doubleClicked();
  QFrame::mouseDoubleClickEvent(e);
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(e);
}

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void GroupBox::mouseDoubleClickEvent(QMouseEvent* e) {
  emit doubleClicked();
  QGroupBox::mouseDoubleClickEvent(e);
}

EditBox::EditBox(QWidget* parent) : QLineEdit(parent) {}

void EditBox::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  // Opening a menu or switching to another window does not leave the box:
  // the focus comes back to it.
  if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
  emit exited();
}

void EditBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    emit enterPressed();  // swallowed: not inserted
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void EditBox::mousePressEvent(QMouseEvent* e) {
  QLineEdit::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) emit clicked();
}

PlotImage::PlotImage(QWidget* parent) : QWidget(parent) {}

void PlotImage::MatchSize() {
  const QSize size(std::max(1, width()), std::max(1, height()));
  // The redraw clears the picture itself; only a new size needs a new one.
  if (picture_.size() != size) picture_ = QImage(size, QImage::Format_RGB32);
}

void PlotImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (!picture_.isNull()) p.drawImage(0, 0, picture_);
}

void PlotImage::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked();
  QWidget::mousePressEvent(e);
}

}  // namespace vireo
