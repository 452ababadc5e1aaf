#pragma once
// Hint timings. Qt shows a hint after the style's wake-up delay and keeps it
// for a time that grows with the length of its text, unless it is shown with
// an explicit display time. The style below sets the delay for the whole
// application; HintTiming shows the hints of one top-level window for a
// fixed time.

#include <QObject>
#include <QProxyStyle>

class QWidget;

namespace vireo {

// Hints appear 2000 ms after the pointer comes to rest on a control.
class HintStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
};

// Shows the hints of `window` and its controls for `displayMs` whatever
// their length. Owned by the window.
class HintTiming final : public QObject {
 public:
  HintTiming(QWidget* window, int displayMs);
  int DisplayMs() const { return displayMs_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  int displayMs_;
};

}  // namespace vireo
