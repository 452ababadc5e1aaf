// The program finds its manual beside itself (the build folder) or in the
// installed data folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/install_paths.h"

namespace {

using vireo::FindInstalledFile;

struct InstalledTree : ::testing::Test {
  QTemporaryDir root;
  QString bin = root.filePath(QStringLiteral("usr/bin"));
  QString data = root.filePath(QStringLiteral("usr/share/vireo"));
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(data));
  }
  static void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
};

TEST_F(InstalledTree, TheManualIsFoundBesideTheProgramFirstThenInTheDataFolder) {
  const QString name = QStringLiteral("Vireo Help.html");
  // In neither place: beside the program, where Help reports it missing.
  EXPECT_EQ(FindInstalledFile(bin, name), QDir(bin).filePath(name));
  Touch(QDir(data).filePath(name));
  EXPECT_EQ(FindInstalledFile(bin, name), QDir(data).filePath(name));
  Touch(QDir(bin).filePath(name));
  EXPECT_EQ(FindInstalledFile(bin, name), QDir(bin).filePath(name));
}

}  // namespace
