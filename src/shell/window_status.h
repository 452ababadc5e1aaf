#pragma once
// The status server's view of the two windows: a snapshot of what they show,
// their plot pictures and the texts their files hold.

#include "status/status_source.h"

namespace vireo {

class FileJournal;
class FormA;
class TFormS;

class WindowStatus final : public StatusSource {
 public:
  // `journal` names the open run; none: no run is shown.
  WindowStatus(FormA& form, TFormS& formS, const FileJournal* journal)
      : form_(form), formS_(formS), journal_(journal) {}

  StatusSnapshot Snapshot() override;
  QImage MainPlot() override;
  QImage SpectrometerPlot() override;
  std::string SeriesText(int series) override;
  std::string SpectrometerText() override;
  std::string DataFolder() override;

 private:
  FormA& form_;
  TFormS& formS_;
  const FileJournal* journal_;
};

}  // namespace vireo
