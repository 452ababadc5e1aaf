#pragma once
// Arbitrary controller traffic for a connected main window. The input bytes
// are read as a program: mostly bracketed replies with the controller's
// addresses and codes and arbitrary arguments, some raw bytes, LED timer
// ticks and the user's clicks on the on/off controls. The traffic reaches
// the window through its receive handler, in received events of arbitrary
// size, and after every event the window must still be sound.

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/form_fixture.h"

namespace vireo::testing {

// Feeds the traffic `data` decodes to. Returns what went wrong first, or an
// empty text when every check held.
std::string FeedReplies(FormFixture& f, const std::uint8_t* data, std::size_t size);

// What holds whatever the controller sends: flags agree with their boxes,
// every list, log and text stays within its bounds. Empty when all hold.
std::string CheckInvariants(const FormFixture& f);

}  // namespace vireo::testing
