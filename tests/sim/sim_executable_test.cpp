// The built vireo-controller-sim, driven through the program's own serial channel.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <functional>
#include <string>

#include "controller/qt_serial_channel.h"

namespace vireo {
namespace {

using vireo::testing::WaitUntil;

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "sim_executable_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

QString SimulatorPath() { return qEnvironmentVariable("VIREO_BUILD_DIR") + QStringLiteral("/vireo-controller-sim"); }

TEST(ControllerSimExecutable, ServesTheProgramThroughItsSerialChannel) {
  EnsureApplication();
  QProcess sim;
  sim.start(SimulatorPath(), {QStringLiteral("model=32,accel=2")});
  ASSERT_TRUE(sim.waitForStarted(5000)) << SimulatorPath().toStdString();
  ASSERT_TRUE(WaitUntil([&] { return sim.canReadLine() || (sim.waitForReadyRead(50) && sim.canReadLine()); }, 5000));
  const std::string path = sim.readLine().trimmed().toStdString();
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

  QtSerialChannel channel;
  std::string received;
  channel.onReceived = [&](int count) {
    EXPECT_GT(count, 0);
    char chunk[100];
    while (const std::size_t n = channel.ReadBuffer(chunk, sizeof chunk)) received.append(chunk, n);
  };
  channel.SetPort(path);
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  const auto exchange = [&](const std::string& command, const std::string& reply) {
    received.clear();
    const std::string line = command + "\r\n";
    channel.WriteBuffer(line.data(), line.size());
    EXPECT_TRUE(WaitUntil([&] { return received.find('\n') != std::string::npos; })) << command;
    EXPECT_EQ(received, reply + "\r\n") << command;
  };
  exchange("[F1 VN ?]", "[F1 VN 2.30]");
  exchange("[F1 ID ?]", "[F1 ID 32]");
  exchange("[F2 MP ?]", "[F2 MP 6]");
  exchange("[F2 PL 3]", "[F2 DL 3]");  // a second of simulated move time
  channel.Close();

  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(5000));
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(sim.exitCode(), 0);
}

TEST(ControllerSimExecutable, HelpAndBadOptions) {
  EnsureApplication();
  QProcess help;
  help.start(SimulatorPath(), {QStringLiteral("--help")});
  ASSERT_TRUE(help.waitForFinished(5000));
  EXPECT_EQ(help.exitCode(), 0);
  EXPECT_TRUE(help.readAllStandardOutput().contains("accel="));

  QProcess bad;
  bad.start(SimulatorPath(), {QStringLiteral("model=9")});
  ASSERT_TRUE(bad.waitForFinished(5000));
  EXPECT_EQ(bad.exitCode(), 2);
  EXPECT_TRUE(bad.readAllStandardError().contains("model=9"));
}

}  // namespace
}  // namespace vireo
