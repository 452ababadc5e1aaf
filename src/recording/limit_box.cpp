#include "recording/limit_box.h"

#include <algorithm>

#include "control/wide_text.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

bool TakeLimitBoxEntry(const std::array<EditBox*, 6>& boxes, QObject* sender, PlotLimits& limits, Dialogs& dialogs,
                       bool& busy) {
  const auto it = std::find(boxes.begin(), boxes.end(), sender);
  if (it == boxes.end() || busy) return false;
  busy = true;
  EditBox* box = *it;
  const auto which = static_cast<PlotLimit>(it - boxes.begin());
  const LimitEntry entry = EnterPlotLimit(limits, which, Narrowed(box->text()));
  box->setText(Widened(entry.BoxText));
  if (entry.Invalid) dialogs.Message(kLimitErrorText, kLimitErrorCaption, Buttons::Ok);
  busy = false;
  return true;
}

}  // namespace vireo
