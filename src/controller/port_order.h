#pragma once
// The order in which serial ports are listed. The automatic search tries the
// last listed port first, so the list ends with the ports most likely to be a
// controller: after the built-in ttyS ports come USB adapters, USB modems
// (ACM) and Bluetooth (rfcomm), each group by number.

#include <string>
#include <vector>

namespace vireo {

void OrderPortsForSearch(std::vector<std::string>& ports);

}  // namespace vireo
