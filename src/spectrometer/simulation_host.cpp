// The main window's side of the simulated experiment: its series, plot and
// display log, and the spectrometer window's reading request.
#include "recording/series_memo.h"
#include "shell/form_a.h"
#include "spectrometer/form_s.h"
#include "spectrometer/offline_simulation.h"

namespace vireo {
namespace {

class FormSimulationHost final : public SimulationHost {
 public:
  explicit FormSimulationHost(FormA& form) : form_(form) {}
  void RequestReading(char letter, std::string_view report) override { form_.FormS->RequestReading(letter, report); }
  void AppendToDisplayLog(int level, std::string_view text) override { form_.AppendToDisplayLog(level, text); }
  void AppendSeriesLine(int series, std::string_view record) override {
    form_.SeriesMemos[static_cast<std::size_t>(series - 1)]->AppendRecord(record);
  }
  void RedrawPlot() override { form_.RedrawPlot(); }
  int LoopLevel() const override { return form_.LoopLevel; }

 private:
  FormA& form_;
};

}  // namespace

void FormA::SimulationStep() {
  if (!FormS) return;
  FormSimulationHost host(*this);
  vireo::SimulationStep(FormS->State, Controller, host);
}

}  // namespace vireo
