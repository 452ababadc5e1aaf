// The built program run as a user would start it, against the built
// simulator: both are separate processes and talk over a pseudo-terminal.
// The window is rendered offscreen; its screenshot shows whether a
// controller was found (the working window) or not (the small search window),
// and the log written at exit holds the window title, the display log (where
// every command sent is echoed) and the series.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <signal.h>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <string>
#include <utility>

#include "support/log_sections.h"
#include "support/wait_until.h"

namespace {

using vireo::testing::LogSections;

QString BuildPath(const char* name) {
  return qEnvironmentVariable("VIREO_BUILD_DIR") + QLatin1Char('/') + QLatin1String(name);
}

QString SourcePath(const char* name) {
  return qEnvironmentVariable("VIREO_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(name);
}

// The simulator, serving until the test ends.
class Simulator {
 public:
  explicit Simulator(const QStringList& options) {
    process_.start(BuildPath("vireo-controller-sim"), options);
    if (!process_.waitForStarted(5000)) return;
    while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
    }
    device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
  }
  ~Simulator() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
  }
  const QString& Device() const { return device_; }
  qint64 Pid() const { return process_.processId(); }

 private:
  QProcess process_;
  QString device_;
};

struct Outcome {
  int exitCode = -1;
  QProcess::ExitStatus status = QProcess::CrashExit;
  QImage screenshot;
  std::string errors;
  LogSections log;
};

// Runs vireo (or `program`) with `arguments`, a screenshot taken as it quits after `seconds`.
// The journal goes to `dataDir`, by default a folder of the run's own: never the user's.
Outcome RunVireo(QStringList arguments, int seconds, QString dataDir = {},
                 const QString& program = BuildPath("vireo"),
                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QTemporaryDir dir;
  const QString picture = dir.filePath(QStringLiteral("window.png"));
  const QString log = dir.filePath(QStringLiteral("vireo.log"));
  if (dataDir.isEmpty()) dataDir = dir.filePath(QStringLiteral("data"));
  arguments << QStringLiteral("--screenshot") << picture << QStringLiteral("--quit-after") << QString::number(seconds)
            << QStringLiteral("--log") << log << QStringLiteral("--data-dir") << dataDir;
  QProcess vireo;
  vireo.setWorkingDirectory(dir.path());  // no marker file there
  vireo.setProcessEnvironment(environment);
  vireo.start(program, arguments);
  Outcome run;
  if (!vireo.waitForFinished((seconds + 30) * 1000)) {
    vireo.kill();
    vireo.waitForFinished(5000);
    return run;
  }
  run.exitCode = vireo.exitCode();
  run.status = vireo.exitStatus();
  run.errors = vireo.readAllStandardError().toStdString();
  if (QFileInfo::exists(picture)) run.screenshot.load(picture);
  run.log = LogSections::Read(log);
  return run;
}

// The commands echoed in the display log, in the order they were sent.
QStringList Commands(const LogSections& log) {
  QStringList commands;
  for (const QString& line : log.Lines(QStringLiteral("display log"))) {
    if (line.startsWith(QLatin1Char('['))) commands << line;
  }
  return commands;
}

// True when `expected` occurs in `commands` in this order, other commands in between.
bool InOrder(const QStringList& commands, const QStringList& expected) {
  qsizetype at = 0;
  for (const QString& command : commands) {
    if (at < expected.size() && command == expected[at]) ++at;
  }
  return at == expected.size();
}

const QSize kWorkingWindow(825, 600);
const QSize kSearchWindow(432, 239);

TEST(VireoExecutable, ConnectsToTheGivenPortAndQuitsCleanly) {
  Simulator sim({QStringLiteral("echo=0")});
  ASSERT_TRUE(sim.Device().startsWith(QStringLiteral("/dev/"))) << sim.Device().toStdString();
  const Outcome run = RunVireo({QStringLiteral("--port"), sim.Device()}, 12);
  EXPECT_EQ(run.status, QProcess::NormalExit) << run.errors;
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_FALSE(run.screenshot.isNull()) << run.errors;
  EXPECT_EQ(run.screenshot.size(), kWorkingWindow);
  const QStringList title = run.log.Lines(QStringLiteral("title"));
  ASSERT_EQ(title.size(), 1);
  EXPECT_TRUE(title.front().endsWith(QStringLiteral("  on ") + sim.Device())) << title.front().toStdString();
  // The simulator's default: two holders, extended model, firmware 2.30, a probe.
  const QStringList startup = {
      "[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]", "[F1 PS +]", "[F1 FP +]",
      "[F1 HL ?]", "[F1 MS ?]", "[F1 LS ?]", "[F1 SS ?]", "[F1 MT ?]", "[F1 LT ?]", "[R1 IS ?]", "[R1 TT ?]",
      "[R1 IS +]", "[R1 ER +]", "[R1 TT +]", "[F1 CT +3]", "[F1 PT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"};
  EXPECT_TRUE(InOrder(Commands(run.log), startup))
      << run.log.Lines(QStringLiteral("display log")).join(QLatin1Char('\n')).toStdString();
  // Reports every 3 seconds since the end of the start-up: the sample and
  // reference holders' series have records, each minutes, a tab, degrees.
  for (const char* series : {"series 1", "series 2"}) {
    const QStringList records = run.log.Lines(QLatin1String(series));
    EXPECT_GE(records.size(), 1) << series;
    for (const QString& record : records) EXPECT_EQ(record.split(QLatin1Char('\t')).size(), 2) << record.toStdString();
  }
  for (const char* series : {"series 3", "series 4", "series 5"}) EXPECT_TRUE(run.log.Has(QLatin1String(series)));
}

TEST(VireoExecutable, FindsItsOwnSimulatedInstrumentsAndQuitsCleanly) {
  const Outcome run =
      RunVireo({QStringLiteral("--simulate"), QStringLiteral("--spectrometer"), QStringLiteral("simulated")}, 6);
  EXPECT_EQ(run.status, QProcess::NormalExit) << run.errors;
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_FALSE(run.screenshot.isNull()) << run.errors;
  EXPECT_EQ(run.screenshot.size(), kWorkingWindow);
  EXPECT_TRUE(run.log.Lines(QStringLiteral("spectrometer caption")).value(0).startsWith(
      QStringLiteral("Shimadzu UV-1800  on /dev/pts/")));
}

TEST(VireoExecutable, AnEchoingDeviceIsNotTakenForAController) {
  Simulator sim({QStringLiteral("echo")});
  ASSERT_TRUE(sim.Device().startsWith(QStringLiteral("/dev/"))) << sim.Device().toStdString();
  const Outcome run = RunVireo({QStringLiteral("--port"), sim.Device()}, 5);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_FALSE(run.screenshot.isNull()) << run.errors;
  EXPECT_EQ(run.screenshot.size(), kSearchWindow);
  // Only the connection probe went out, again and again; nothing of the start-up.
  const QStringList commands = Commands(run.log);
  EXPECT_GE(commands.size(), 3);
  EXPECT_EQ(commands.count(QStringLiteral("[F1 IS ?]")), commands.size());
}

TEST(VireoExecutable, AnEchoingSimulatedDeviceIsNotFoundByTheSearch) {
  const Outcome run = RunVireo({QStringLiteral("--simulate=echo")}, 5);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_FALSE(run.screenshot.isNull()) << run.errors;
  EXPECT_EQ(run.screenshot.size(), kSearchWindow);
}

TEST(VireoExecutable, StartsOfflineWhenAsked) {
  const Outcome run = RunVireo({QStringLiteral("--offline")}, 3);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  ASSERT_FALSE(run.screenshot.isNull()) << run.errors;
  EXPECT_EQ(run.screenshot.size(), QSize(849, 580));
  EXPECT_EQ(run.log.Lines(QStringLiteral("title")),
            QStringList{QStringLiteral("Vireo(S) - Temperature Control Application (Offline Mode)")});
  EXPECT_TRUE(Commands(run.log).isEmpty()) << Commands(run.log).join(QLatin1Char('\n')).toStdString();
}

// The sample holder's temperatures, as "%.2f", in the order of the lines of
// a journal file (records) or of the simulator's transcript (its CT reports).
QStringList SampleTemperatures(const QString& path, bool transcript) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList values;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (transcript && !line.startsWith("[F1 CT ")) continue;
    const QByteArray value = transcript ? line.mid(7, line.indexOf(']') - 7) : line.mid(line.indexOf('\t') + 1);
    bool number = false;
    const double v = value.trimmed().toDouble(&number);
    if (number) values << QString::number(v, 'f', 2);
  }
  return values;
}

TEST(VireoExecutable, AKilledRecordingKeepsEveryReadingItReceivedAndTheNextStartNamesTheRun) {
  QTemporaryDir dir;
  const QString sent = dir.filePath(QStringLiteral("sent.txt"));
  const QString data = dir.filePath(QStringLiteral("data"));
  Simulator sim({QStringLiteral("accel=20"), QStringLiteral("transcript=") + sent});
  ASSERT_TRUE(sim.Device().startsWith(QStringLiteral("/dev/"))) << sim.Device().toStdString();
  QProcess vireo;
  vireo.setWorkingDirectory(dir.path());
  vireo.start(BuildPath("vireo"), {QStringLiteral("--port"), sim.Device(), QStringLiteral("--data-dir"), data});
  ASSERT_TRUE(vireo.waitForStarted(10000));
  QString run;
  const auto journaled = [&] {
    const QStringList runs = QDir(data + QStringLiteral("/runs")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (runs.size() == 1) run = data + QStringLiteral("/runs/") + runs.front();
    return run.isEmpty() ? QStringList() : SampleTemperatures(run + QStringLiteral("/sample.txt"), false);
  };
  ASSERT_TRUE(vireo::testing::WaitUntil([&] { return journaled().size() >= 5; }, 60000));
  // The controller falls silent; once the program has taken in all it sent, the program dies.
  ::kill(static_cast<pid_t>(sim.Pid()), SIGSTOP);
  const QStringList received = SampleTemperatures(sent, true);
  EXPECT_TRUE(vireo::testing::WaitUntil([&] { return journaled().size() >= received.size(); }, 20000));
  vireo.kill();
  vireo.waitForFinished(5000);
  ::kill(static_cast<pid_t>(sim.Pid()), SIGCONT);

  EXPECT_EQ(journaled(), received);
  QFile sample(run + QStringLiteral("/sample.txt"));
  ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
  const QByteArray bytes = sample.readAll();
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
  EXPECT_FALSE(QFile::exists(run + QStringLiteral("/ended.txt")));
  QFile log(run + QStringLiteral("/display-log.txt"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  static const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d\t\\[F1 VN \\?\\]\r$"),
                                          QRegularExpression::MultilineOption);
  EXPECT_TRUE(stamped.match(QString::fromLatin1(log.readAll())).hasMatch());

  // The next start names the run and marks it, so that it is named once.
  RunVireo({QStringLiteral("--simulate=echo")}, 3, data);
  QFile marker(run + QStringLiteral("/ended.txt"));
  ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
  EXPECT_TRUE(marker.readAll().contains("did not close normally"));
}

// Logging out, shutting down, the terminal closing, Ctrl+C: each ends the
// program as Exit does, without a question: the running script is cancelled,
// nothing reaches the controller, and the run is marked as ended.
TEST(VireoExecutable, EachTerminationSignalEndsTheRunCleanlyAndSendsNothing) {
  for (const auto& [signal, name] : {std::pair{SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}}) {
    SCOPED_TRACE(name);
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString script = dir.filePath(QStringLiteral("melt.txt"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("CONTROLLER SCRIPT\r\nINTERVAL = 0.2\r\n[F1 TT S 30.00]\r\n[F1 RR S 0.5]\r\n[F1 TC +]\r\n"
               "[*D 10000]\r\n");
    file.close();
    Simulator sim({QStringLiteral("accel=20")});
    ASSERT_TRUE(sim.Device().startsWith(QStringLiteral("/dev/"))) << sim.Device().toStdString();
    QProcess vireo;
    vireo.setWorkingDirectory(dir.path());
    vireo.start(BuildPath("vireo"), {QStringLiteral("--port"), sim.Device(), QStringLiteral("--data-dir"), data,
                                     QStringLiteral("--script"), script});
    ASSERT_TRUE(vireo.waitForStarted(10000));
    QString run;
    const auto auditTrail = [&] {
      const QStringList runs = QDir(data + QStringLiteral("/runs")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
      if (runs.size() == 1) run = data + QStringLiteral("/runs/") + runs.front();
      QFile log(run + QStringLiteral("/display-log.txt"));
      return !run.isEmpty() && log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString();
    };
    ASSERT_TRUE(vireo::testing::WaitUntil([&] { return auditTrail().contains(QStringLiteral("[*D 10000]")); }, 60000))
        << auditTrail().toStdString();
    ::kill(static_cast<pid_t>(vireo.processId()), signal);
    ASSERT_TRUE(vireo.waitForFinished(30000));
    EXPECT_EQ(vireo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vireo.exitCode(), 0);
    const QString trail = auditTrail();
    EXPECT_TRUE(trail.contains(QStringLiteral("\t-------Script Canceled\r\n"))) << trail.toStdString();
    EXPECT_TRUE(trail.endsWith(QStringLiteral("\t-------Vireo ended by ") + QLatin1String(name) +
                               QStringLiteral(": nothing was sent to the controller, its holders keep their "
                                              "state\r\n")))
        << trail.toStdString();
    for (const char* command : {"[F1 TC -]", "[F1 RR 0]", "[F1 SS +]", "[F1 SS -]"}) {
      EXPECT_FALSE(trail.contains(QLatin1String(command))) << command;
    }
    QFile marker(run + QStringLiteral("/ended.txt"));
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_TRUE(marker.readAll().startsWith("Run ended normally"));
  }
}

TEST(VireoExecutable, RefusesBadSimulatorOptions) {
  QProcess vireo;
  QTemporaryDir data;
  vireo.start(BuildPath("vireo"), {QStringLiteral("--simulate=model=9"), QStringLiteral("--quit-after"),
                                   QStringLiteral("1"), QStringLiteral("--data-dir"), data.path()});
  ASSERT_TRUE(vireo.waitForFinished(20000));
  EXPECT_EQ(vireo.exitCode(), 2);
  EXPECT_TRUE(vireo.readAllStandardError().contains("model=9"));
}

TEST(VireoExecutable, RunsTheStartupScriptBesideItAgainstTheSimulator) {
  QTemporaryDir folder;
  const QString program = folder.filePath(QStringLiteral("vireo"));
  ASSERT_TRUE(QFile::copy(BuildPath("vireo"), program));
  QFile script(folder.filePath(QStringLiteral("Vireo Startup Script.txt")));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("CONTROLLER SCRIPT\r\nINTERVAL = 0.1\r\n"
               "Set a target, then ask for it twice.\r\n"
               "[f1 tt s 31.00]\r\n[*LS 2]\r\n[F1 TT ?]\r\n[*LE]\r\n");
  script.close();
  Simulator sim({QStringLiteral("echo=0")});
  ASSERT_TRUE(sim.Device().startsWith(QStringLiteral("/dev/"))) << sim.Device().toStdString();
  const Outcome run = RunVireo({QStringLiteral("--port"), sim.Device()}, 14, {}, program);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  const QStringList display = run.log.Lines(QStringLiteral("display log"));
  const std::string log = display.join(QLatin1Char('\n')).toStdString();
  // The script panel opened for it (emptying the display log) once the
  // configuration was over; the command went out in capitals.
  EXPECT_TRUE(InOrder(Commands(run.log), {"[F1 TT S 31.00]", "[*LS 2]", "[*LE] (2/2)"})) << log;
  EXPECT_FALSE(display.contains(QStringLiteral("[R1 HT +3]"))) << log;
  EXPECT_EQ(display.count(QStringLiteral("|  [F1 TT ?]")), 2) << log;
  EXPECT_TRUE(display.contains(QStringLiteral("-------Script completed"))) << log;
  // The simulator took the new target: it reports it back.
  EXPECT_FALSE(display.filter(QStringLiteral("[F1 TT 31")).isEmpty()) << log;
}

TEST(VireoExecutable, RefusesAScriptOptionItCannotRead) {
  QProcess vireo;
  vireo.start(BuildPath("vireo"), {QStringLiteral("--script"), QStringLiteral("/nonexistent/melt.txt")});
  ASSERT_TRUE(vireo.waitForFinished(20000));
  EXPECT_EQ(vireo.exitCode(), 2);
  EXPECT_TRUE(vireo.readAllStandardError().contains("melt.txt"));
}

// A user cannot write beside an installed program: the start-up script in
// ~/.config/Vireo runs, and the display log names the file.
TEST(VireoExecutable, RunsTheStartupScriptInTheUsersConfigurationFolder) {
  QTemporaryDir folder;
  const QString program = folder.filePath(QStringLiteral("bin/vireo"));
  ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("bin"))));
  ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("config/Vireo"))));
  ASSERT_TRUE(QFile::copy(BuildPath("vireo"), program));
  const QString scriptPath = folder.filePath(QStringLiteral("config/Vireo/Vireo Startup Script.txt"));
  QFile script(scriptPath);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("CONTROLLER SCRIPT\r\nINTERVAL = 0.1\r\n[F1 TT ?]\r\n");
  script.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
  Simulator sim({QStringLiteral("echo=0")});
  const Outcome run = RunVireo({QStringLiteral("--port"), sim.Device()}, 12, {}, program, environment);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  const QStringList display = run.log.Lines(QStringLiteral("display log"));
  const std::string log = display.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(display.contains(scriptPath)) << log;
  EXPECT_TRUE(display.contains(QStringLiteral("-------Script completed"))) << log;
}

// --version, --help and refused command lines answer in a terminal without a
// display: nothing may reach for the window system first.
TEST(VireoExecutable, AnswersOnTheCommandLineWithoutADisplay) {
  struct Case {
    const char* program;
    QStringList arguments;
    int exitCode;
    const char* output;  // expected in stdout, or in stderr on a refusal
  };
  const Case cases[] = {
      {"vireo", {QStringLiteral("--version")}, 0, "vireo 1.50\n"},
      {"vireo", {QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("-v")}, 0, "vireo 1.50\n"},
      {"vireo", {QStringLiteral("--help")}, 0, "--check-script <FILE>"},
      // The simulators' option tables are printed whole, not rewrapped into the option list.
      {"vireo", {QStringLiteral("--help")}, 0, "  manners           all of these: split,eot=mixed,ackdelay=0,cycle=4000,wavelength=500"},
      {"vireo", {QStringLiteral("--help")}, 0, "                    first digit 1 one holder, 2 two holders"},
      {"vireo", {QStringLiteral("--offline"), QStringLiteral("--frobnicate")}, 2, "'frobnicate'"},
      {"vireo", {QStringLiteral("--port")}, 2, "--port"},
      // The installed examples are clean scripts; the headless commands need no display either.
      {"vireo", {QStringLiteral("--check-script"), SourcePath("docs/examples/melt.txt")}, 0, ""},
      {"vireo", {QStringLiteral("--check-script"), SourcePath("docs/examples/ramp.txt")}, 0, ""},
      {"vireo", {QStringLiteral("--check-script"), SourcePath("docs/examples/cell-changer.txt")}, 0, ""},
      {"vireo-controller-sim", {QStringLiteral("--version")}, 0, "vireo-controller-sim 1.50\n"},
      {"vireo-spectrometer-sim", {QStringLiteral("--version")}, 0, "vireo-spectrometer-sim 1.50\n"},
  };
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(QLatin1String(name));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + (' ' + c.arguments.join(QLatin1Char(' ')).toStdString()));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(BuildPath(c.program), c.arguments);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), c.exitCode);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray errors = process.readAllStandardError();
    if (c.exitCode == 0) {
      EXPECT_TRUE(out.contains(c.output)) << out.toStdString();
      EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    } else {
      EXPECT_TRUE(errors.contains(c.output)) << errors.toStdString();
      EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
    }
  }
}

}  // namespace
