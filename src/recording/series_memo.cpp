#include "recording/series_memo.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace vireo {
namespace {

constexpr char16_t kShownLf = 0x240A;
constexpr char16_t kShownCr = 0x240D;
constexpr char16_t kParagraph = 0x2029;  // between blocks in a document's raw text

QString ToShown(std::string_view bytes) {
  QString shown;
  shown.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      shown.append(QChar('\n'));
      ++i;
    } else if (c == '\r') {
      shown.append(QChar(kShownCr));
    } else if (c == '\n') {
      shown.append(QChar(kShownLf));
    } else {
      shown.append(QChar(static_cast<unsigned char>(c)));
    }
  }
  return shown;
}

}  // namespace

SeriesMemo::SeriesMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(QFont(QStringLiteral("Courier New"), 8));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(false);
  // Tab stops every eight characters, so that a record's two columns fit
  // the memo's width.
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
  setFocusPolicy(Qt::ClickFocus);
  // Every record would stay on the undo stack for the whole run.
  setUndoRedoEnabled(false);
  connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
    if (!ownChange_) pointsStale_ = true;
  });
}

std::string SeriesMemo::Text() const {
  const QString raw = document()->toRawText();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(document()->blockCount()));
  for (const QChar c : raw) {
    switch (c.unicode()) {
      case kParagraph:
        bytes += "\r\n";
        break;
      case kShownLf:
        bytes += '\n';
        break;
      case kShownCr:
        bytes += '\r';
        break;
      default:
        bytes += static_cast<char>(c.unicode() & 0xFF);
    }
  }
  return bytes;
}

void SeriesMemo::SetText(std::string_view bytes) { setPlainText(ToShown(bytes)); }

void SeriesMemo::AppendRecord(std::string_view record) {
  const bool openLastLine = document()->lastBlock().length() > 1;
  std::string added = openLastLine ? "\r\n" : "";
  added.append(record);
  added += "\r\n";
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  ownChange_ = true;
  end.insertText(ToShown(added));
  ownChange_ = false;
  if (!pointsStale_ && !points_.AppendText(added, LineCount())) pointsStale_ = true;
}

void SeriesMemo::ClearAll() {
  ownChange_ = true;
  clear();
  ownChange_ = false;
  points_.Clear();
  pointsStale_ = false;
}

int SeriesMemo::LineCount() const {
  const QTextDocument* doc = document();
  return doc->blockCount() - (doc->lastBlock().length() == 1 ? 1 : 0);
}

const SeriesPoints& SeriesMemo::Points() {
  if (pointsStale_) {
    points_.Rebuild(Text(), LineCount());
    pointsStale_ = false;
  }
  return points_;
}

void SeriesMemo::CollapseSelection() {
  // Runs with every redraw: a memo with nothing to collapse is left alone.
  const QTextCursor caret = textCursor();
  if (!caret.hasSelection() && caret.position() == 0) return;
  const int top = verticalScrollBar()->value();
  const int left = horizontalScrollBar()->value();
  QTextCursor start(document());
  setTextCursor(start);
  verticalScrollBar()->setValue(top);
  horizontalScrollBar()->setValue(left);
}

void SeriesMemo::keyPressEvent(QKeyEvent* event) {
  // Shift+Enter would insert a soft line separator, which is no line break of
  // the series text: make it a plain Enter.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & Qt::ShiftModifier)) {
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text());
    QPlainTextEdit::keyPressEvent(&plain);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace vireo
