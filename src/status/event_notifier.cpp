#include "status/event_notifier.h"

#include <QDateTime>
#include <QProcess>
#include <cstdio>

namespace vireo {

EventNotifier::EventNotifier(Launcher launcher, Clock clock)
    : launcher_(std::move(launcher)), clock_(std::move(clock)) {}

bool EventNotifier::SetCommand(const QString& commandLine) {
  command_ = QProcess::splitCommand(commandLine);
  return !command_.isEmpty();
}

void EventNotifier::Raise(ProgramEvent event, std::string_view text) {
  const std::string line = OneLine(text);
  log_.Add({clock_().toStdString(), event, line});
  if (command_.isEmpty()) return;
  QStringList arguments = command_.mid(1);
  arguments << QString::fromLatin1(EventName(event)) << QString::fromStdString(line);
  // A command that cannot start is said once per event on standard error: the
  // run goes on, and the page still shows the event.
  if (!launcher_(command_.front(), arguments)) {
    std::fprintf(stderr, "vireo: --on-event: cannot start %s\n", command_.front().toLocal8Bit().constData());
  }
}

EventNotifier::Launcher EventNotifier::DetachedLauncher() {
  return [](const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
  };
}

EventNotifier::Clock EventNotifier::LocalTimeNow() {
  return [] { return QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc()).toString(Qt::ISODate); };
}

}  // namespace vireo
