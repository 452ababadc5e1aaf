#pragma once
// The seam to the one numeric entry dialog: the caller configures it, shows
// it (modal) and reads back what was typed and chosen. Texts are single-byte.

#include <optional>
#include <string>

namespace vireo {

enum class ParameterLayout {
  kSingle,    // one value
  kRampList,  // end temperature and a rate chosen from the list (firmware above 7.0)
  kRampBox,   // end temperature and a typed rate (older firmware)
};

struct ParameterRequest {
  ParameterLayout layout = ParameterLayout::kSingle;
  std::string caption;
  std::string offered;  // the first box's text
  std::string unit;     // the label beside the first box
  std::string rateName;  // the label beside the rate (ramp layouts)
  std::optional<std::string> offeredRate;  // the rate box's text; unset keeps what it holds
};

// Results of ShowModal.
enum ParameterResult : int {
  kParameterSecondRefused = -2,
  kParameterFirstRefused = -1,
  kParameterOk = 1,
  kParameterCancel = 2,
};

struct ParameterEntry {
  std::string first;   // the first box, whole
  std::string second;  // the rate box, whole
  int rateRow = 0;     // the selected row of the rate list
};

class ParameterDialog {
 public:
  virtual ~ParameterDialog() = default;
  // Sets caption, texts and layout; everything else the dialog holds stays.
  virtual void Configure(const ParameterRequest& request) = 0;
  virtual int ShowModal() = 0;
  virtual ParameterEntry Entry() const = 0;
};

}  // namespace vireo
