#include "shell/install_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "vireo_version.h"

namespace vireo {

QString FindInstalledFile(const QString& programFolder, const QString& name) {
  const QDir beside(programFolder);
  if (QFileInfo::exists(beside.filePath(name))) return beside.filePath(name);
  const QString installed = QDir::cleanPath(beside.filePath(QString::fromLatin1(kDataFolderFromPrograms)) +
                                            QLatin1Char('/') + name);
  return QFileInfo::exists(installed) ? installed : beside.filePath(name);
}

std::vector<std::string> StartupScriptFolders(const QString& programFolder) {
  // ~/.config/Vireo, or under $XDG_CONFIG_HOME.
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return {programFolder.toStdString(), QDir(config).filePath(QStringLiteral("Vireo")).toStdString()};
}

}  // namespace vireo
