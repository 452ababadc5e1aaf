// What the main window hands to the spectrometer window. The spectrometer
// window is not part of the program yet; until it is, nothing receives
// readings and there is no probe box to update.
#include "shell/form_a.h"

namespace vireo {

void FormA::RequestReading(char, std::string_view) {}

void FormA::UpdateProbeBox(bool) {}

}  // namespace vireo
