// The built vireo-spectrometer-sim, driven through the program's own serial channel.
#include <gtest/gtest.h>

#include "sim/sim_process.h"

#include <cstdio>
#include <string>

#include "controller/qt_serial_channel.h"
#include "sim/spectrometer_model.h"

namespace vireo {
namespace {

using namespace vireo::testing;

TEST(SpectrometerSimExecutable, PrintsItsPathAndAnswersAReading) {
  QProcess sim;
  const std::string path = StartSimulator(sim, "vireo-spectrometer-sim", {QStringLiteral("temperature=55,noise=0")});
  ASSERT_FALSE(path.empty());

  QtSerialChannel channel;
  std::string received;
  channel.onReceived = [&](int) {
    char chunk[100];
    while (const std::size_t n = channel.ReadBuffer(chunk, sizeof chunk)) received.append(chunk, n);
  };
  channel.SetPort(path);
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.WriteChar(sim::kEnq);
  ASSERT_TRUE(WaitUntil([&] { return received == "\x06"; })) << received;
  received.clear();
  channel.WriteBuffer("d", 2);  // with its NUL
  ASSERT_TRUE(WaitUntil([&] { return received.size() == 9; })) << received;
  char expected[16];
  std::snprintf(expected, sizeof expected, "d%7.4f\x04", sim::SpectrometerModel().Absorbance(55.0, 550.0));
  EXPECT_EQ(received, expected);
  channel.Close();
  ExpectCleanStop(sim);
}

TEST(SpectrometerSimExecutable, HelpAndBadOptions) {
  ExpectHelpAndRefusal("vireo-spectrometer-sim", "ramp=", QStringLiteral("tm=hot"));
}

}  // namespace
}  // namespace vireo
