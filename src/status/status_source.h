#pragma once
// The status server's one window onto the program: a snapshot of what the
// window shows, its two plot pictures, and the texts the files hold. The
// shell implements it over the windows; tests use a double.

#include <QImage>
#include <string>

#include "status/status_snapshot.h"

namespace vireo {

class StatusSource {
 public:
  virtual ~StatusSource() = default;
  virtual StatusSnapshot Snapshot() = 0;
  // The pictures as the renderer drew them last; null when none yet.
  virtual QImage MainPlot() = 0;
  virtual QImage SpectrometerPlot() = 0;
  // The text of series 1 to 5, as its file holds it.
  virtual std::string SeriesText(int series) = 0;
  // The spectrometer data table, as its file holds it.
  virtual std::string SpectrometerText() = 0;
  // The folder that holds the journal's runs/; empty when none is kept.
  virtual std::string DataFolder() = 0;
};

}  // namespace vireo
