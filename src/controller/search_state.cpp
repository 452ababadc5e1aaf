#include "controller/search_state.h"

namespace vireo {

int BaudRateFromText(const std::string& text) {
  if (!text.empty() && text[0] == '9') return 9600;
  if (text.size() > 2 && text[2] == '5') return 115200;
  return 19200;
}

}  // namespace vireo
