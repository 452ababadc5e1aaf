#pragma once
// The memo that holds one series. Its text is the series: single-byte text,
// records separated by CR LF, shown one record per line. Copy, save and plot
// all read it; the user may edit it by hand.
//
// A lone LF or CR (from a loaded file) is no line break for the series, so it
// shows as a visible symbol (U+240A, U+240D) and comes back as its byte.

#include <QPlainTextEdit>
#include <string>
#include <string_view>

#include "recording/series_points.h"

namespace vireo {

class SeriesMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SeriesMemo(QWidget* parent = nullptr);

  // The series bytes: CR LF between lines exactly as stored; characters
  // beyond Latin-1 give their low byte.
  std::string Text() const;
  // Replaces the text by any bytes (a loaded file); nothing is checked.
  void SetText(std::string_view bytes);
  // Adds `record` as a new last line followed by CR LF; a text that does not
  // end with a line break first gets one.
  void AppendRecord(std::string_view record);
  void ClearAll();
  // Lines as the memo counts them: a final CR LF starts no further line.
  int LineCount() const;
  // The parsed series; followed record by record, parsed again after any
  // other change (hand edit, load).
  const SeriesPoints& Points();
  // Drops any selection, caret to the start, without scrolling the view.
  void CollapseSelection();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  SeriesPoints points_;
  bool pointsStale_ = false;
  bool ownChange_ = false;  // AppendRecord and ClearAll keep points_ themselves
};

}  // namespace vireo
