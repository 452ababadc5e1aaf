#include "recording/series_memo.h"

#include <gtest/gtest.h>

#include "recording/points_of.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

namespace vireo {
namespace {

// The parsed copy must always equal a parse of the memo's whole text.
void ExpectCopyAgrees(SeriesMemo& memo) {
  SeriesPoints full;
  full.Rebuild(memo.Text(), memo.LineCount());
  EXPECT_EQ(PointsOf(memo.Points()), PointsOf(full)) << memo.Text();
  EXPECT_EQ(memo.Points().Extents(), full.Extents());
}

TEST(SeriesMemo, AnyBytesSurviveARoundTrip) {
  SeriesMemo memo;
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& bytes : {all, std::string("1\t2\r\n3\t4\r\n"), std::string("a\nb\rc\r\r\n\n\r"),
                                   std::string("\r"), std::string("\n"), std::string("\r\n"), std::string()}) {
    memo.SetText(bytes);
    EXPECT_EQ(memo.Text(), bytes);
  }
}

TEST(SeriesMemo, LoneLineEndsAreNoLinesOfTheMemo) {
  SeriesMemo memo;
  memo.SetText("1\t20\n2\t21\n3\t22\n");
  EXPECT_EQ(memo.LineCount(), 1);
  EXPECT_EQ(memo.document()->blockCount(), 1);
  // The parser sees one line: only the first record.
  EXPECT_EQ(PointsOf(memo.Points()), (Points{{1, 20}}));
  memo.SetText("1 20\r2 21\r3 22\r");
  EXPECT_EQ(memo.LineCount(), 1);
}

TEST(SeriesMemo, LinesAsTheMemoCountsThem) {
  SeriesMemo memo;
  EXPECT_EQ(memo.LineCount(), 0);
  memo.SetText("a");
  EXPECT_EQ(memo.LineCount(), 1);
  memo.SetText("a\r\n");
  EXPECT_EQ(memo.LineCount(), 1);
  memo.SetText("a\r\nb");
  EXPECT_EQ(memo.LineCount(), 2);
  memo.SetText("\r\n\r\n");
  EXPECT_EQ(memo.LineCount(), 2);
}

TEST(SeriesMemo, AppendedRecordsEndWithALineBreak) {
  SeriesMemo memo;
  memo.AppendRecord(" 0.000\t 24.10");
  memo.AppendRecord(" 0.050\t 24.12");
  EXPECT_EQ(memo.Text(), " 0.000\t 24.10\r\n 0.050\t 24.12\r\n");
  EXPECT_EQ(memo.LineCount(), 2);
  // A loaded text without a final line break gets one first.
  memo.SetText("1\t20\r\n2\t21");
  memo.AppendRecord("3\t22");
  EXPECT_EQ(memo.Text(), "1\t20\r\n2\t21\r\n3\t22\r\n");
  EXPECT_EQ(PointsOf(memo.Points()), (Points{{1, 20}, {2, 21}, {3, 22}}));
  memo.ClearAll();
  EXPECT_EQ(memo.Text(), "");
  EXPECT_EQ(memo.Points().Count(), 0u);
}

TEST(SeriesMemo, ParsedCopyFollowsEveryKindOfChange) {
  SeriesMemo memo;
  for (int i = 0; i < 50; ++i) {
    memo.AppendRecord(std::to_string(i * 0.05) + "\t" + std::to_string(24 + i % 3));
    if (i % 10 == 0) ExpectCopyAgrees(memo);
  }
  ExpectCopyAgrees(memo);

  // A hand edit in the middle.
  QTextCursor cursor(memo.document());
  cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 10);
  cursor.insertText("99\t30\n");
  ExpectCopyAgrees(memo);
  memo.AppendRecord("2.6\t25");
  ExpectCopyAgrees(memo);

  // Loads: without a final break, ending with a lone CR, and not records at all.
  for (const char* loaded : {"5 20\r\n6 21", "5 20\r", "x\r\ny\n", "7 22\r\n"}) {
    memo.SetText(loaded);
    ExpectCopyAgrees(memo);
    memo.AppendRecord("8\t23");
    ExpectCopyAgrees(memo);
  }

  memo.ClearAll();
  ExpectCopyAgrees(memo);
  memo.AppendRecord("0.1\t20");
  ExpectCopyAgrees(memo);

  // Cut off by the bound, then a record: parsed again from the whole text.
  std::string crOnly;
  for (int i = 0; i < 20; ++i) crOnly.append("0").append(std::to_string(i)).append(" 20\r");
  memo.SetText(crOnly);
  ExpectCopyAgrees(memo);
  memo.AppendRecord("30 21");
  ExpectCopyAgrees(memo);
}

TEST(SeriesMemo, ShiftEnterBreaksTheLineLikeEnter) {
  SeriesMemo memo;
  memo.SetText("1 20");
  memo.moveCursor(QTextCursor::End);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
  QApplication::sendEvent(&memo, &press);
  memo.insertPlainText(QStringLiteral("2 21"));
  EXPECT_EQ(memo.Text(), "1 20\r\n2 21");
  EXPECT_EQ(memo.LineCount(), 2);
  ExpectCopyAgrees(memo);
}

TEST(SeriesMemo, CollapsingTheSelectionKeepsTheView) {
  SeriesMemo memo;
  memo.resize(137, 178);
  std::string text;
  for (int i = 0; i < 500; ++i) text += std::to_string(i) + "\t20.00\r\n";
  memo.SetText(text);
  memo.selectAll();
  memo.verticalScrollBar()->setValue(300);
  memo.CollapseSelection();
  EXPECT_FALSE(memo.textCursor().hasSelection());
  EXPECT_EQ(memo.textCursor().position(), 0);
  EXPECT_EQ(memo.verticalScrollBar()->value(), 300);
}

}  // namespace
}  // namespace vireo
