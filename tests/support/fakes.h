#pragma once
// Test doubles for the program's seams.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/parameter_dialog.h"
#include "controller/serial_channel.h"
#include "shell/services.h"

namespace vireo::testing {

// A serial channel in memory: tests push received bytes and read what was written.
class FakeSerialChannel final : public SerialChannel {
 public:
  void SetPort(const std::string& name) override {
    if (!active) port = name;
  }
  void SetSettings(const SerialSettings& s) override { settings = s; }
  SerialSettings Settings() const override { return settings; }
  bool Open() override;
  void Close() override { active = false; }
  bool Active() const override { return active; }
  std::string LastError() const override { return lastError; }
  void WriteBuffer(const char* bytes, std::size_t count) override { written.append(bytes, count); }
  void WriteChar(char byte) override { written.push_back(byte); }
  std::size_t ReadBuffer(char* destination, std::size_t capacity) override;
  void PurgeRead() override {
    pending.clear();
    ++purges;
    writtenAtPurge = written.size();
  }
  void PurgeWrite() override {}
  void Flush(int) override { ++flushes; }

  // Queues bytes and raises the received event, as the port would.
  void Receive(const std::string& bytes);
  // The lines written since the last call, without their CR LF.
  std::vector<std::string> TakeLines();

  std::string port;
  SerialSettings settings;
  bool active = false;
  std::vector<std::string> openablePorts;  // empty: every port opens
  std::vector<std::string> opened;         // ports opened, in order
  std::string lastError;
  std::string pending;
  std::string written;
  int purges = 0;
  std::size_t writtenAtPurge = 0;  // the size of `written` at the last purge
  int flushes = 0;
};

// Answers message boxes from a script without blocking, and records them.
class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    Buttons buttons;
  };
  Answer Message(const std::string& text, const std::string& caption, Buttons buttons) override;
  std::optional<std::string> SaveFileName(const std::string&, const std::string&, const std::string&,
                                          const std::string&) override;
  std::optional<std::string> OpenFileName(const std::string&, const std::string&, const std::string&) override;

  std::deque<Answer> answers;  // next answers; when empty, OK/Yes
  std::deque<std::optional<std::string>> fileNames;  // next file dialog results; when empty, cancel
  std::function<void()> whileChoosing;  // runs while a file dialog is "open"
  std::vector<Shown> shown;
  // Runs while a message box is "open": ticks and bytes that a modal box's
  // own event loop would deliver.
  std::function<void()> whileShown;
};

// Termination signals raised by the test.
class FakeTerminationSignals final : public TerminationSignals {
 public:
  void Listen(Handler handler) override { handler_ = std::move(handler); }
  void Raise(std::string_view name) {
    if (handler_) handler_(name);
  }

 private:
  Handler handler_;
};

class FakeTicks final : public TickSource {
 public:
  std::uint32_t Now() const override { return now; }
  std::uint32_t now = 1000;
};

class CountingBeeper final : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

class FixedPortLister final : public PortLister {
 public:
  std::vector<std::string> ListPorts() override { return ports; }
  std::vector<std::string> DeniedPorts() const override { return denied; }
  std::vector<std::string> ports;
  std::vector<std::string> denied;
};

class RecordingDesktop final : public Desktop {
 public:
  bool OpenDocument(const std::string& path) override {
    documents.push_back(path);
    return true;
  }
  std::vector<std::string> documents;
};

// The entry dialog without a window: each showing answers the next scripted
// press (result and what the boxes then hold); with none left it answers Cancel.
class ScriptedParameterDialog final : public ParameterDialog {
 public:
  struct Press {
    int result;
    ParameterEntry entry;
  };
  void Configure(const ParameterRequest& request) override { requests.push_back(request); }
  int ShowModal() override;
  ParameterEntry Entry() const override { return entry; }

  // OK with the first box (and the rate box, or the rate row) as given.
  void Ok(std::string first, std::string second = {}, int rateRow = 0) {
    presses.push_back({kParameterOk, {std::move(first), std::move(second), rateRow}});
  }
  std::deque<Press> presses;
  std::function<void()> whileShown;  // what happens elsewhere while the dialog is open
  std::vector<ParameterRequest> requests;
  ParameterEntry entry;
  int shows = 0;
};

}  // namespace vireo::testing
