// What the main window hands to the spectrometer window. The spectrometer
// window is not part of the program yet; until it is, nothing receives
// readings, there is no probe box to update, and the spectrometer commands
// of the command panel and of scripts have no effect.
#include "shell/form_a.h"

namespace vireo {

void FormA::RequestReading(char, std::string_view) {}

void FormA::UpdateProbeBox(bool) {}

bool FormA::SpectrometerPortOpen() const { return false; }

void FormA::SpectrometerLinkRefresh() {}

void FormA::SpectrometerSend(std::string_view) {}

void FormA::SpectrometerWavelength(char, std::string_view) {}

void FormA::SpectrometerZero() {}

void FormA::SpectrometerRecordSample(bool) {}

void FormA::SpectrometerRecordProbe(bool) {}

}  // namespace vireo
