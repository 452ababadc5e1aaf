#include "shell/run_log.h"

#include <QPlainTextEdit>
#include <string>

#include "recording/series_memo.h"
#include "shell/form_a.h"

namespace vireo {

void AppendLogSection(QByteArray& log, const char* name, const QString& text) {
  log += "== ";
  log += name;
  log += '\n';
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  log += lines.toLatin1();
  if (!lines.isEmpty() && !lines.endsWith(QLatin1Char('\n'))) log += '\n';
}

QByteArray MainWindowLog(const FormA& form) {
  QByteArray log;
  AppendLogSection(log, "title", form.windowTitle());
  AppendLogSection(log, "display log", form.ScriptDisplay->toPlainText());
  for (int series = 1; series <= 5; ++series) {
    const QByteArray name = "series " + QByteArray::number(series);
    const std::string text = form.SeriesMemos[static_cast<std::size_t>(series - 1)]->Text();
    AppendLogSection(log, name.constData(), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  }
  return log;
}

}  // namespace vireo
