// The spectrophotometer served on a pseudo-terminal beside the simulated
// controller, reading that controller's sample temperature.
#include "sim/spectrometer_server.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/controller_server.h"
#include "sim/pty_port.h"
#include "sim/sim_test_helpers.h"
#include "sim/spectrometer_model.h"

namespace vireo::sim {
namespace {

TEST(SpectrometerServer, ReadsTheSimulatedControllersSampleTemperature) {
  ControllerServer controller(Config(""));
  ASSERT_TRUE(controller.Start()) << controller.LastError();
  SpectrometerConfig config;
  config.noise = 0.0;
  config.meltingTemperature = 22.0;  // the controller starts at ambient: mid-melt, where temperature shows most
  config.sampleTemperature = [&controller] { return controller.SampleTemperature(); };
  SpectrometerServer server(config);
  ASSERT_TRUE(server.Start()) << server.LastError();
  EXPECT_FALSE(server.Start());
  EXPECT_NE(server.LastError().find("already running"), std::string::npos);

  Port port(server.DevicePath());
  ASSERT_TRUE(port.IsOpen()) << server.DevicePath();
  port.Write("\x05");
  EXPECT_EQ(port.ReadUntil("\x06"), "\x06");
  port.Write(std::string("d", 2));  // with its NUL
  const std::string reading = port.ReadUntil("\x04");
  ASSERT_EQ(reading.size(), 9u) << reading;
  EXPECT_EQ(reading.back(), kEot);
  const SpectrometerModel model(config);
  // The controller's noise moves its temperature by hundredths of a degree between asking and reading.
  EXPECT_NEAR(std::stod(reading.substr(1, 7)), model.Absorbance(controller.SampleTemperature(), 550.0), 0.002);
  EXPECT_NEAR(controller.SampleTemperature(), 22.0, 0.5);

  server.Stop();
  EXPECT_FALSE(server.Running());
  EXPECT_EQ(server.DevicePath(), "");
  port.ReadUntil("never", 500);
  EXPECT_TRUE(port.ended);
}

}  // namespace
}  // namespace vireo::sim
