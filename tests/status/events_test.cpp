// The events end to end: the window on the simulated controller, a real
// journal and a real recording command started for each event.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "controller/qt_serial_channel.h"
#include "recording/file_journal.h"
#include "shell/qt_services.h"
#include "sim/controller_server.h"
#include "status/event_notifier.h"
#include "support/form_fixture.h"
#include "support/wait_until.h"

namespace vireo::testing {
namespace {

QStringList Recorded(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The event names of `lines` ("name<TAB>text") in order.
QStringList Names(const QStringList& lines) {
  QStringList names;
  for (const QString& line : lines) names << line.section(QLatin1Char('\t'), 0, 0);
  return names;
}

TEST(Events, AScriptRunEndToEndRaisesItsEventsInOrderThroughTheCommand) {
  QTemporaryDir dir;
  const QString recorder = dir.filePath(QStringLiteral("record.sh"));
  const QString recorded = dir.filePath(QStringLiteral("events.txt"));
  {
    QFile script(recorder);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("printf '%s\\t%s\\n' \"$2\" \"$3\" >> \"$1\"\n");
  }
  const QString melt = dir.filePath(QStringLiteral("melt script.txt"));
  {
    QFile script(melt);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n[F1 TC +] control on\r\n[*WT 1] until stable\r\n"
                 "[*MSG - Melt finished: remove the cuvettes]\r\n");
  }
  EventNotifier events;
  ASSERT_TRUE(events.SetCommand(QStringLiteral("/bin/sh \"%1\" \"%2\"").arg(recorder, recorded)));

  sim::ControllerConfig config;
  config.model = "11";
  config.probeConnected = false;
  config.acceleration = 30.0;
  sim::ControllerServer server(config);
  ASSERT_TRUE(server.Start()) << server.LastError();
  auto journal = std::make_unique<FileJournal>(dir.filePath(QStringLiteral("data")).toStdString());
  journal->onRun = [&events](bool started, const std::string& folder) {
    events.Raise(started ? ProgramEvent::RunStarted : ProgramEvent::RunEnded, folder);
  };
  WindowDoubles doubles;
  doubles.ports.ports = {server.DevicePath()};
  QtSerialChannel channel;
  SteadyTickSource ticks;
  FormOptions options;
  options.journal = journal.get();
  options.events = &events;
  options.scriptFile = melt.toStdString();
  auto form = std::make_unique<FormA>(doubles.With(channel, ticks), options);
  form->Recording.PlotInterval = form->Recording.PlotIntervalSetting = 1;

  const QStringList scripted{"run-started", "target-stable", "operator-message", "script-finished"};
  ASSERT_TRUE(WaitUntil([&] { return Names(Recorded(recorded)).size() >= scripted.size(); }, 60000))
      << Recorded(recorded).join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(Names(Recorded(recorded)), scripted);
  EXPECT_TRUE(Recorded(recorded).contains(QStringLiteral("operator-message\tMelt finished: remove the cuvettes")));
  EXPECT_TRUE(Recorded(recorded).contains(QStringLiteral("script-finished\tmelt script.txt")));

  server.Stop();
  ASSERT_TRUE(WaitUntil([&] { return Names(Recorded(recorded)).contains(QStringLiteral("link-lost")); }, 10000));
  form->Shell.CloseAsked = false;
  form.reset();
  journal.reset();  // the end of the program: the run ends
  ASSERT_TRUE(WaitUntil([&] { return Names(Recorded(recorded)).contains(QStringLiteral("run-ended")); }, 10000));
  EXPECT_EQ(Names(Recorded(recorded)), scripted + QStringList({"link-lost", "run-ended"}));
  EXPECT_EQ(events.Log().Latest().size(), 6u);
}

}  // namespace
}  // namespace vireo::testing
