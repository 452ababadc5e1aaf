// The built program against the built simulators with the manners of a real
// spectrophotometer on a USB adapter, and with the instrument unplugged and
// plugged in again behind the same device name. The simulated instrument logs
// every reading it sends; the table written at exit must hold each of them
// exactly once, whole, under the report that asked for it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "sim/sim_process.h"
#include "support/log_sections.h"

namespace vireo::testing {
namespace {

struct SentReading {
  QString wavelength, reply;
  bool damaged = false;
};

std::vector<SentReading> ReadingsSent(const QString& path) {
  std::vector<SentReading> sent;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return sent;
  for (const QString& line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() == 3) sent.push_back({f[0], f[1], f[2] == QLatin1String("1")});
  }
  return sent;
}

QStringList Lines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class NightRun : public ::testing::Test {
 protected:
  void StartVireo(const QString& spectrometerPath, int seconds) {
    log = dir.filePath(QStringLiteral("vireo.log"));
    vireo.setWorkingDirectory(dir.path());
    vireo.start(SimulatorPath("vireo"),
                {QStringLiteral("--port"), QString::fromStdString(controllerPort), QStringLiteral("--spectrometer"),
                 spectrometerPath, QStringLiteral("--record-readings"), QStringLiteral("--quit-after"),
                 QString::number(seconds), QStringLiteral("--log"), log, QStringLiteral("--data-dir"), dir.path()});
  }
  void SetUp() override {
    // Reports every 0.3 s: the instrument's cycle is longer than that.
    controllerPort = StartSimulator(controller, "vireo-controller-sim", {QStringLiteral("accel=10")});
    ASSERT_FALSE(controllerPort.empty());
  }
  // Each reading sent is in the table once, in order, with all its digits, at
  // the instrument's wavelength, in cell 1, under a report of its own; a
  // damaged one is not in it. The last one sent may be missing: asked before
  // the program ended, or under way when the port went. Takes the matched
  // records from the front of `records`.
  int ExpectEveryReadingOnce(const std::vector<SentReading>& sent, QStringList& records, const QStringList& series) {
    int matched = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) {
      const SentReading& s = sent[i];
      if (s.damaged) continue;
      const QStringList f = records.isEmpty() ? QStringList() : records.front().split(QLatin1Char('\t'));
      if (f.size() < 5 || f[4] != s.reply.mid(1)) {
        EXPECT_EQ(i + 1, sent.size()) << "reading " << i << " missing: " << s.reply.toStdString();
        continue;
      }
      EXPECT_EQ(f.size(), 10) << records.front().toStdString();
      EXPECT_EQ(f[1], s.wavelength) << "reading " << i;
      // Under a report of the sample series, each report at most once.
      EXPECT_TRUE(series.contains(f[2] + QLatin1Char('\t') + f[3])) << records.front().toStdString();
      EXPECT_NE(f[2], lastTime_);
      lastTime_ = f[2];
      records.pop_front();
      ++matched;
    }
    return matched;
  }

  QString lastTime_;
  QTemporaryDir dir;
  QProcess controller, vireo;
  std::string controllerPort;
  QString log;
};

TEST_F(NightRun, EveryReadingOfAnUntidyInstrumentIsRecordedOnceAndWhole) {
  const QString sentLog = dir.filePath(QStringLiteral("sent.txt"));
  QProcess spectrometer;
  // Every manner at once, with more faults than the default mix and a
  // shorter cycle so that the minute holds enough of them.
  const std::string port = StartSimulator(
      spectrometer, "vireo-spectrometer-sim",
      {QStringLiteral("temperature=20,ramp=30,manners,cycle=1500,faults=0.15,seed=5,readings=") + sentLog});
  ASSERT_FALSE(port.empty());
  StartVireo(QString::fromStdString(port), 60);
  ASSERT_TRUE(vireo.waitForFinished(120000));
  EXPECT_EQ(vireo.exitCode(), 0) << vireo.readAllStandardError().toStdString();
  const LogSections sections = LogSections::Read(log);
  const QStringList table = sections.Lines(QStringLiteral("spectrometer table"));
  ASSERT_FALSE(table.isEmpty());
  const std::vector<SentReading> sent = ReadingsSent(sentLog);
  QStringList records = table.mid(1);
  EXPECT_GE(ExpectEveryReadingOnce(sent, records, sections.Lines(QStringLiteral("series 1"))), 10);
  EXPECT_TRUE(records.isEmpty()) << "recorded but never sent: " << records.join(QLatin1Char('|')).toStdString();
  // The power-up wavelength (500 nm) was never read: the box's came first.
  for (const SentReading& s : sent) EXPECT_EQ(s.wavelength, QStringLiteral("550.0"));
  // Reports that came while the slow instrument worked were said, not read.
  EXPECT_TRUE(sections.Lines(QStringLiteral("display log")).join(QLatin1Char('\n')).contains(QStringLiteral("still busy")));
  ExpectCleanStop(controller);
  ExpectCleanStop(spectrometer);
}

TEST_F(NightRun, AnInstrumentPluggedInAgainBehindTheSameNameGoesOnRecording) {
  // The device name the program opens is a link to the pseudo-terminal, as
  // /dev/serial/by-id/ names a USB adapter.
  const QString link = dir.filePath(QStringLiteral("usb-spectrophotometer"));
  const QString before = dir.filePath(QStringLiteral("before.txt")), after = dir.filePath(QStringLiteral("after.txt"));
  QProcess first, second;
  const std::string firstPort = StartSimulator(
      first, "vireo-spectrometer-sim", {QStringLiteral("temperature=20,wavelength=480,readings=") + before});
  ASSERT_FALSE(firstPort.empty());
  ASSERT_TRUE(QFile::link(QString::fromStdString(firstPort), link));
  StartVireo(link, 45);
  ASSERT_TRUE(WaitUntil([&] { return ReadingsSent(before).size() >= 3; }, 40000));
  ExpectCleanStop(first);  // unplugged
  QFile::remove(link);
  const std::string secondPort = StartSimulator(
      second, "vireo-spectrometer-sim", {QStringLiteral("temperature=30,wavelength=480,readings=") + after});
  ASSERT_FALSE(secondPort.empty());
  ASSERT_TRUE(QFile::link(QString::fromStdString(secondPort), link));
  ASSERT_TRUE(vireo.waitForFinished(90000));
  EXPECT_EQ(vireo.exitCode(), 0) << vireo.readAllStandardError().toStdString();

  const LogSections sections = LogSections::Read(log);
  const QStringList table = sections.Lines(QStringLiteral("spectrometer table"));
  ASSERT_FALSE(table.isEmpty());
  // One table across the loss; the instrument that came back was set to the
  // box's wavelength before its first reading.
  QStringList records = table.mid(1);
  const QStringList series = sections.Lines(QStringLiteral("series 1"));
  EXPECT_GE(ExpectEveryReadingOnce(ReadingsSent(before), records, series), 2);
  const std::vector<SentReading> later = ReadingsSent(after);
  EXPECT_GE(ExpectEveryReadingOnce(later, records, series), 2);
  EXPECT_TRUE(records.isEmpty()) << "recorded but never sent: " << records.join(QLatin1Char('|')).toStdString();
  for (const SentReading& s : later) EXPECT_EQ(s.wavelength, QStringLiteral("550.0"));
  const QString displayLog = sections.Lines(QStringLiteral("display log")).join(QLatin1Char('\n'));
  EXPECT_TRUE(displayLog.contains(QStringLiteral("Spectrometer link lost on ") + link)) << displayLog.toStdString();
  EXPECT_TRUE(displayLog.contains(QStringLiteral("Spectrometer link back on ") + link)) << displayLog.toStdString();
  // The audit trail on disk says so too, with the times.
  const QStringList runs = QDir(dir.filePath(QStringLiteral("runs"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_EQ(runs.size(), 1);
  const QStringList trail = Lines(dir.filePath(QStringLiteral("runs/") + runs[0] + QStringLiteral("/display-log.txt")));
  EXPECT_TRUE(trail.filter(QStringLiteral("Spectrometer link lost")).size() == 1) << trail.join('\n').toStdString();
  EXPECT_TRUE(trail.filter(QStringLiteral("Spectrometer link back")).size() == 1);
  ExpectCleanStop(controller);
  ExpectCleanStop(second);
}

}  // namespace
}  // namespace vireo::testing
