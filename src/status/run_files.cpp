#include "status/run_files.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

#include "status/status_text.h"

namespace vireo {
namespace {

QDir RunsDir(const QString& dataFolder) { return QDir(dataFolder + QStringLiteral("/runs")); }

QStringList PlainFiles(const QDir& dir) {
  QStringList files;
  for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
    if (!info.isSymLink()) files << info.fileName();
  }
  return files;
}

std::string Html(const QString& text) { return HtmlEscape(text.toStdString()); }

}  // namespace

std::vector<RunListing> ListRuns(const QString& dataFolder) {
  std::vector<RunListing> runs;
  if (dataFolder.isEmpty()) return runs;
  const QDir dir = RunsDir(dataFolder);
  for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed)) {
    if (info.isSymLink()) continue;
    runs.push_back({info.fileName(), PlainFiles(QDir(info.filePath()))});
  }
  return runs;
}

std::optional<QString> RunFile(const QString& dataFolder, const QByteArray& encodedPath) {
  if (dataFolder.isEmpty()) return std::nullopt;
  const QList<QByteArray> parts = encodedPath.split('/');
  if (parts.size() != 2) return std::nullopt;
  const QString run = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[0]));
  const QString file = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[1]));
  const QDir runs = RunsDir(dataFolder);
  const QFileInfo runInfo(runs.filePath(run));
  // Names are looked up in the listings, never joined into a path unchecked.
  if (!runs.entryList(QDir::Dirs | QDir::NoDotAndDotDot).contains(run) || runInfo.isSymLink()) return std::nullopt;
  const QDir runDir(runInfo.filePath());
  if (!PlainFiles(runDir).contains(file)) return std::nullopt;
  return runDir.filePath(file);
}

QByteArray RunsPage(const std::vector<RunListing>& runs, const QString& query) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>Runs</title><style>" +
      StatusPageStyle() + "</style></head><body>\n<h1>Runs</h1><p><a href=\"/" + Html(query) +
      "\">Live status</a></p>\n";
  if (runs.empty()) out += "<p>No runs recorded.</p>\n";
  for (const RunListing& run : runs) {
    out += "<section><h2>" + Html(run.name) + "</h2><ul>\n";
    for (const QString& file : run.files) {
      const QString href = QStringLiteral("/runs/") + QString::fromUtf8(QUrl::toPercentEncoding(run.name)) +
                           QLatin1Char('/') + QString::fromUtf8(QUrl::toPercentEncoding(file)) + query;
      out += "<li><a href=\"" + Html(href) + "\">" + Html(file) + "</a></li>\n";
    }
    out += "</ul></section>\n";
  }
  out += "</body></html>\n";
  return QByteArray::fromStdString(out);
}

}  // namespace vireo
