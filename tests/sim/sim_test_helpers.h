#pragma once
// Shared by the simulator's tests.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "sim/controller_model.h"

namespace vireo::sim {

// A configuration from option text that must parse.
inline ControllerConfig Config(std::string_view options) {
  ControllerConfig config;
  EXPECT_TRUE(ParseControllerOptions(options, config, nullptr)) << options;
  return config;
}

// Sends one command as the program does (with CR LF); returns the reply bytes.
inline std::string Ask(ControllerModel& m, std::string_view command) { return m.Receive(std::string(command) + "\r\n"); }

}  // namespace vireo::sim
