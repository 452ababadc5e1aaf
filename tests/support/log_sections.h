#pragma once
// Reads the log the program writes at exit with --log FILE: sections, each
// introduced by a line "== <name>", holding the lines up to the next one.

#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

namespace vireo::testing {

class LogSections {
 public:
  // Empty when the file cannot be read.
  static LogSections Read(const QString& path) {
    LogSections log;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return log;
    QString name;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
      if (line.startsWith(QLatin1String("== "))) {
        name = line.mid(3);
        log.sections_[name];
      } else if (!name.isNull() && !line.isEmpty()) {
        log.sections_[name] << line;
      }
    }
    return log;
  }
  bool Has(const QString& name) const { return sections_.contains(name); }
  // The lines of a section; none when it is missing.
  QStringList Lines(const QString& name) const { return sections_.value(name); }
  bool Empty() const { return sections_.isEmpty(); }

 private:
  QMap<QString, QStringList> sections_;
};

}  // namespace vireo::testing
