#pragma once
// A main window on test doubles: bytes go in through the fake channel's
// received event, commands come out of its written bytes, message boxes are
// answered from a script, and ticks are driven by hand.

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "recording/series_memo.h"
#include "shell/clipboard.h"
#include "shell/form_a.h"
#include "support/fakes.h"

namespace vireo::testing {

class RecordingClipboard final : public Clipboard {
 public:
  void SetText(const std::string& text) override { this->text = text; }
  void SetImage(const QImage& image) override { this->image = image; }
  std::string text;
  QImage image;
};

// The doubles of the services a window needs besides its channel and clock.
struct WindowDoubles {
  ScriptedDialogs dialogs;
  CountingBeeper beeper;
  FixedPortLister ports;
  RecordingDesktop desktop;
  RecordingClipboard clipboard;
  ScriptedParameterDialog parameters;
  FormServices With(SerialChannel& channel, TickSource& ticks) {
    return {channel, dialogs, ticks, beeper, ports, desktop, clipboard, parameters};
  }
};

struct FormFixture : WindowDoubles {
  FakeSerialChannel channel;
  FakeTicks ticks;
  std::unique_ptr<FormA> form;

  // Ports listed at start; with automaticSearch the search starts at once
  // (no marker file in the test's working directory).
  explicit FormFixture(std::vector<std::string> portList = {"ttyUSB0"}, FormOptions options = {});
  ~FormFixture();

  // Bytes from the controller, through the receive handler.
  void Receive(const std::string& bytes) { channel.Receive(bytes); }
  // n ticks of the 200 ms LED timer; the tick clock advances with them.
  void Tick(int n = 1);
  // n ticks of Timer1.
  void Timer1Tick(int n = 1);
  // The commands written since the last call.
  std::vector<std::string> Sent() { return channel.TakeLines(); }
  // Opens the first listed port by hand (Connect) and answers the probe:
  // the window goes through first contact. Clears the sent commands.
  void ConnectAndAnswer(const std::string& firstReply = "[F1 IS 0---]");
  // Runs the start-up sequence to its end, answering nothing; returns what was sent.
  std::vector<std::string> RunStartup(int maxTicks = 60);
  // The display log's lines.
  std::vector<std::string> DisplayLog() const;
  // The text of series memo n (1 to 5).
  std::string SeriesText(int series) const;
};

}  // namespace vireo::testing
