// The display log: commands sent, selected replies and script progress, with
// "|  " groups marking a script's loop nesting.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "control/wide_text.h"
#include "recording/journal.h"
#include "scripting/display_log_format.h"
#include "shell/form_a.h"

namespace vireo {

void FormA::AppendToDisplayLog(int level, std::string_view text) {
  // The whole line is kept, however long: nothing is cut to fit a field.
  const std::string line = DisplayLogLine(level, text);
  // A text with line breaks gives several lines; CR LF, CR and LF all break.
  QString shown = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  ScriptDisplay->appendPlainText(shown);
  if (!Recording.OfflineMode) {
    JournalInUse().DisplayLogText(line);
    ShowJournalFailure();
  }
}

void FormA::AppendWideToDisplayLog(int level, const QString& text) {
  AppendToDisplayLog(level, Narrowed(text));
}

void FormA::Btn_ClearClick(QObject* sender) {
  if (!sender) return;
  if (Engine.ClearCancelsLoop) {
    Engine.RequestLoopCancel();
    return;
  }
  ScriptDisplay->clear();
}

void FormA::CkB_ShowCommentsClick(QObject* sender) {
  if (!sender) return;
  ShowComments = CkB_ShowComments->isChecked();
}

}  // namespace vireo
