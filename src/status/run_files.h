#pragma once
// The journal's runs as the status server offers them: the folders under
// <data folder>/runs/ and the plain files in each. A download is served only
// when its path names one of these, compared name by name: no text from a
// request reaches the file system.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vireo {

struct RunListing {
  QString name;
  QStringList files;
};

// Newest first; links and anything but folders and plain files are left out.
std::vector<RunListing> ListRuns(const QString& dataFolder);

// The file that `encodedPath` ("RUN/FILE", percent-encoded as in the request
// line) names, when it is listed; none for anything else.
std::optional<QString> RunFile(const QString& dataFolder, const QByteArray& encodedPath);

// The listing page; `query` ("" or "?token=...") is added to every link.
QByteArray RunsPage(const std::vector<RunListing>& runs, const QString& query);

}  // namespace vireo
