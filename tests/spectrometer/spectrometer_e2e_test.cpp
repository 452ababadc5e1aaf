// The built program against both built simulators, each on its own
// pseudo-terminal: connected to the controller and the spectrophotometer
// from the command line, it records a reading at each sample temperature
// report; the log written at exit holds the spectrometer's caption and table.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "sim/sim_process.h"
#include "support/log_sections.h"

namespace vireo::testing {
namespace {

TEST(SpectrometerExecutable, RecordsAReadingAtEachSampleReport) {
  QProcess controller, spectrometer;
  const std::string controllerPort = StartSimulator(controller, "vireo-controller-sim", {});
  const std::string spectrometerPort =
      StartSimulator(spectrometer, "vireo-spectrometer-sim", {QStringLiteral("temperature=20,ramp=30")});
  ASSERT_FALSE(controllerPort.empty());
  ASSERT_FALSE(spectrometerPort.empty());

  QTemporaryDir dir;
  const QString log = dir.filePath(QStringLiteral("vireo.log"));
  QProcess vireo;
  vireo.setWorkingDirectory(dir.path());
  vireo.start(SimulatorPath("vireo"),
              {QStringLiteral("--port"), QString::fromStdString(controllerPort), QStringLiteral("--spectrometer"),
               QString::fromStdString(spectrometerPort), QStringLiteral("--record-readings"),
               QStringLiteral("--quit-after"), QStringLiteral("16"), QStringLiteral("--log"), log,
               QStringLiteral("--data-dir"), dir.path()});
  ASSERT_TRUE(vireo.waitForFinished(60000));
  EXPECT_EQ(vireo.exitCode(), 0) << vireo.readAllStandardError().toStdString();
  const LogSections sections = LogSections::Read(log);
  ASSERT_FALSE(sections.Empty());

  EXPECT_EQ(sections.Lines(QStringLiteral("spectrometer caption")),
            QStringList{QStringLiteral("Shimadzu UV-1800  on ") + QString::fromStdString(spectrometerPort)});
  const QStringList table = sections.Lines(QStringLiteral("spectrometer table"));
  ASSERT_FALSE(table.isEmpty());
  EXPECT_EQ(table.front(), QString::fromLatin1("   P/S\t nm\t min\t  \xB0" "C\t  abs"));
  int records = 0;
  for (const QString& line : table.mid(1)) {
    // "    S", the wavelength, minutes, degrees, the reading, five empty columns.
    const QStringList fields = line.split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 10) << line.toStdString();
    EXPECT_EQ(fields[0], QStringLiteral("    S"));
    EXPECT_EQ(fields[1], QStringLiteral("550.0"));
    bool number = false;
    fields[4].toDouble(&number);
    EXPECT_TRUE(number) << line.toStdString();
    ++records;
  }
  EXPECT_GE(records, 2);
  ExpectCleanStop(controller);
  ExpectCleanStop(spectrometer);
}

}  // namespace
}  // namespace vireo::testing
