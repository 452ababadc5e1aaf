#pragma once
// The plot limit boxes of both windows: leaving a box or pressing Enter in it
// takes its text into the plot's limits.

#include <QObject>
#include <array>

#include "recording/plot_limits.h"

namespace vireo {

class Dialogs;
class EditBox;

// Takes the text of `sender`, one of `boxes` (minimum, maximum and increment
// of each axis), into `limits`; the box then shows what was taken and an
// invalid entry is reported. False when `sender` is none of the boxes or an
// entry is already under way: its message box takes the focus from the box,
// which leaves it again. The caller redraws on true.
bool TakeLimitBoxEntry(const std::array<EditBox*, 6>& boxes, QObject* sender, PlotLimits& limits, Dialogs& dialogs,
                       bool& busy);

}  // namespace vireo
