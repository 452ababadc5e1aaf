#include "shell/hint_timing.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace vireo {

int HintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const {
  if (hint == SH_ToolTip_WakeUpDelay) return 2000;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

HintTiming::HintTiming(QWidget* window, int displayMs) : QObject(window), window_(window), displayMs_(displayMs) {
  // Hint events go to the control under the pointer, not to its window.
  qApp->installEventFilter(this);
}

bool HintTiming::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // A control without a hint of its own passes the event on to its parent.
  if (widget->window() != window_ || widget->toolTip().isEmpty()) return false;
  QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), widget->toolTip(), widget, QRect(), displayMs_);
  return true;
}

}  // namespace vireo
