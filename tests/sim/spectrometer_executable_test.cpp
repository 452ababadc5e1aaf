// The built vireo-spectrometer-sim, driven through the program's own serial channel.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QProcess>
#include <string>

#include "controller/qt_serial_channel.h"
#include "sim/spectrometer_model.h"

namespace vireo {
namespace {

using vireo::testing::WaitUntil;

QString SimulatorPath() { return qEnvironmentVariable("VIREO_BUILD_DIR") + QStringLiteral("/vireo-spectrometer-sim"); }

class SpectrometerSimExecutable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "spectrometer_executable_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
};

TEST_F(SpectrometerSimExecutable, PrintsItsPathAndAnswersAReading) {
  QProcess sim;
  sim.start(SimulatorPath(), {QStringLiteral("temperature=55,noise=0")});
  ASSERT_TRUE(sim.waitForStarted(5000)) << SimulatorPath().toStdString();
  ASSERT_TRUE(WaitUntil([&] { return sim.canReadLine() || (sim.waitForReadyRead(50) && sim.canReadLine()); }, 5000));
  const std::string path = sim.readLine().trimmed().toStdString();
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

  QtSerialChannel channel;
  std::string received;
  channel.onReceived = [&](int) {
    char chunk[100];
    while (const std::size_t n = channel.ReadBuffer(chunk, sizeof chunk)) received.append(chunk, n);
  };
  channel.SetPort(path);
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.WriteChar(sim::kEnq);
  ASSERT_TRUE(WaitUntil([&] { return received == "\x06"; })) << received;
  received.clear();
  channel.WriteBuffer("d", 2);  // with its NUL
  ASSERT_TRUE(WaitUntil([&] { return received.size() == 9; })) << received;
  sim::SpectrometerConfig config;
  char expected[16];
  std::snprintf(expected, sizeof expected, "d%7.4f\x04", sim::SpectrometerModel(config).Absorbance(55.0, 550.0));
  EXPECT_EQ(received, expected);
  channel.Close();

  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(5000));
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(sim.exitCode(), 0);
}

TEST_F(SpectrometerSimExecutable, HelpAndBadOptions) {
  QProcess help;
  help.start(SimulatorPath(), {QStringLiteral("--help")});
  ASSERT_TRUE(help.waitForFinished(5000));
  EXPECT_EQ(help.exitCode(), 0);
  EXPECT_TRUE(help.readAllStandardOutput().contains("ramp="));

  QProcess bad;
  bad.start(SimulatorPath(), {QStringLiteral("tm=hot")});
  ASSERT_TRUE(bad.waitForFinished(5000));
  EXPECT_EQ(bad.exitCode(), 2);
  EXPECT_TRUE(bad.readAllStandardError().contains("tm=hot"));
}

}  // namespace
}  // namespace vireo
