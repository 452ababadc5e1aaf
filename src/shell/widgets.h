#pragma once
// Small widgets the windows are built from: a round LED, panels, labels and
// group boxes that report clicks and double-clicks, an edit box that reports
// leaving it, and the image the plot is drawn on.

#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "controller/status_led.h"

namespace vireo {

// Connects a control's signal to a window's handler, which receives `sender`
// (window handlers tell their controls apart by it).
template <typename Source, typename Signal, typename Form, typename Handler>
void On(Source* source, Signal signal, Form* form, Handler handler, QObject* sender) {
  QObject::connect(source, signal, form, [form, handler, sender] { (form->*handler)(sender); });
}

QColor ToQColor(const PlotColour& c);
// Sets a label's text colour (the "font colour" of its caption).
void SetFontColour(QWidget* w, const PlotColour& c);
PlotColour FontColour(const QWidget* w);

class LedShape : public QWidget {
  Q_OBJECT
 public:
  explicit LedShape(QWidget* parent);
  void SetColour(const PlotColour& c);
  PlotColour Colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  PlotColour colour_ = kSilver;
};

class Panel : public QFrame {
  Q_OBJECT
 public:
  explicit Panel(QWidget* parent);
  void SetColour(const PlotColour& c);
 signals:
  void clicked();
  void doubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  ClickLabel(const QString& text, QWidget* parent);
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
};

class GroupBox : public QGroupBox {
  Q_OBJECT
 public:
  GroupBox(const QString& title, QWidget* parent);
 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// An edit box that reports leaving it, Enter, and a mouse click.
class EditBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit EditBox(QWidget* parent);
 signals:
  void exited();
  void enterPressed();
  void clicked();

 protected:
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
};

// Shows the plot picture; a click on it is reported.
class PlotImage : public QWidget {
  Q_OBJECT
 public:
  explicit PlotImage(QWidget* parent);
  QImage& Picture() { return picture_; }
  // Makes the picture the widget's size before a redraw.
  void MatchSize();
 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QImage picture_;
};

}  // namespace vireo
