#pragma once
// The automatic search for the controller over the serial ports.

#include <cstdint>
#include <string>

namespace vireo {

struct SearchState {
  std::int32_t PortCount = 0;   // ports listed at the last enumeration
  std::int32_t PortsLeft = 0;   // ports still to test in the running search
  std::int32_t SearchTicks = 10;  // LED ticks since the search moved to another port
  bool Searching = false;
  // The port of the last connection attempt, shown in the window caption.
  // Not cut to a fixed length: a Linux device path can be long.
  std::string PortName;
};

// Baud rate chosen by the text of the baud box: "9..." 9600, a third
// character "5" 115200, anything else 19200.
int BaudRateFromText(const std::string& text);

}  // namespace vireo
