// The display log: commands sent, selected replies and script progress, with
// "|  " groups marking a script's loop nesting.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
  TrimDisplayLog();
}

// Drops the oldest lines past the limit. The first line then says how many
// are gone (its block's user state holds the count) and where they are kept.
void FormA::TrimDisplayLog() {
  QTextDocument* document = ScriptDisplay->document();
  const int excess = document->blockCount() - kDisplayLogMaxLines;
  if (excess <= 0) return;
  const int before = document->firstBlock().userState();
  const bool noticed = before > 0;
  QTextCursor cursor(document);
  if (noticed) cursor.movePosition(QTextCursor::NextBlock);
  // Without a notice yet, one more line makes room for it.
  const int removed = noticed ? excess : excess + 1;
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, removed);
  cursor.removeSelectedText();
  const int dropped = (noticed ? before : 0) + removed;
  cursor.movePosition(QTextCursor::Start);
  if (noticed) {
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  } else {
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
  }
  // Asked for only here: every line passes through this function.
  const std::string runFolder = Recording.OfflineMode ? std::string() : JournalInUse().RunFolder();
  cursor.insertText(QString::fromStdString(DroppedLinesNotice(dropped, runFolder)));
  document->firstBlock().setUserState(dropped);
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
