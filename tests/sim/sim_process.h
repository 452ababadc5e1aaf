#pragma once
// Running the built simulator executables, for the tests that drive them
// through the program's serial channel.

#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <string>

namespace vireo::testing {

inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "sim_process_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

inline QString SimulatorPath(const char* executable) {
  return qEnvironmentVariable("VIREO_BUILD_DIR") + QLatin1Char('/') + QLatin1String(executable);
}

// Starts `executable` with `args`; the device path it prints first, empty when none came.
inline std::string StartSimulator(QProcess& process, const char* executable, const QStringList& args) {
  EnsureApplication();
  process.start(SimulatorPath(executable), args);
  if (!process.waitForStarted(5000)) return {};
  if (!WaitUntil([&] { return process.canReadLine() || (process.waitForReadyRead(50) && process.canReadLine()); }, 5000))
    return {};
  const std::string path = process.readLine().trimmed().toStdString();
  return path.rfind("/dev/", 0) == 0 ? path : std::string();
}

// Ends it as a kill does: it must stop cleanly.
inline void ExpectCleanStop(QProcess& process) {
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(5000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
}

// --help exits 0 and mentions `option`; the bad option exits 2 and is named on stderr.
inline void ExpectHelpAndRefusal(const char* executable, const char* option, const QString& bad) {
  EnsureApplication();
  QProcess help;
  help.start(SimulatorPath(executable), {QStringLiteral("--help")});
  ASSERT_TRUE(help.waitForFinished(5000));
  EXPECT_EQ(help.exitCode(), 0);
  EXPECT_TRUE(help.readAllStandardOutput().contains(option));
  QProcess refused;
  refused.start(SimulatorPath(executable), {bad});
  ASSERT_TRUE(refused.waitForFinished(5000));
  EXPECT_EQ(refused.exitCode(), 2);
  EXPECT_TRUE(refused.readAllStandardError().contains(bad.toUtf8()));
}

}  // namespace vireo::testing
