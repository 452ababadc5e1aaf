#pragma once
// Raises the program's events: keeps the latest for the status page and runs
// the --on-event command for each, directly (never through a shell) with the
// event's name and text as its last two arguments, without waiting for it.

#include <QString>
#include <QStringList>
#include <functional>

#include "status/program_events.h"

namespace vireo {

class EventNotifier final : public ProgramEvents {
 public:
  // Starts `program` with `arguments` and returns at once; false when it cannot start.
  using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
  using Clock = std::function<QString()>;  // the current local time, ISO 8601

  explicit EventNotifier(Launcher launcher = DetachedLauncher(), Clock clock = LocalTimeNow());

  // The command line of --on-event, split into words as a shell would split
  // it but never run by one; false when it holds no program (nothing is run then).
  bool SetCommand(const QString& commandLine);

  void Raise(ProgramEvent event, std::string_view text) override;
  const EventLog& Log() const { return log_; }

  static Launcher DetachedLauncher();
  static Clock LocalTimeNow();

 private:
  Launcher launcher_;
  Clock clock_;
  QStringList command_;
  EventLog log_;
};

}  // namespace vireo
