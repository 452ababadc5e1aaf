#pragma once
// Serial ports this user may not open. On Linux that is the usual first
// problem (the user is not in the dialout group), and the search would only
// skip such a port: the program says so once, naming the port and the fix.

#include <optional>
#include <string>
#include <vector>

namespace vireo {

struct PortAccessMessage {
  std::string strip;  // short enough for the error strip of the small search window
  std::string log;    // the whole story, for the display log
};

class PortAccessNotice {
 public:
  // The message about `denied` ports, the first time there are any; after
  // that, or with none, nothing.
  std::optional<PortAccessMessage> Take(const std::vector<std::string>& denied);

 private:
  bool said_ = false;
};

}  // namespace vireo
