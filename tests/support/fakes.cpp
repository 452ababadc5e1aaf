#include "support/fakes.h"

#include <algorithm>
#include <cstring>

namespace vireo::testing {

bool FakeSerialChannel::Open() {
  if (!openablePorts.empty() &&
      std::find(openablePorts.begin(), openablePorts.end(), port) == openablePorts.end()) {
    lastError = "Cannot open serial port " + port;
    return false;
  }
  active = true;
  opened.push_back(port);
  return true;
}

std::size_t FakeSerialChannel::ReadBuffer(char* destination, std::size_t capacity) {
  const std::size_t n = std::min(capacity, pending.size());
  std::memcpy(destination, pending.data(), n);
  pending.erase(0, n);
  return n;
}

void FakeSerialChannel::Receive(const std::string& bytes) {
  pending += bytes;
  if (onReceived) onReceived(static_cast<int>(pending.size()));
}

std::vector<std::string> FakeSerialChannel::TakeLines() {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = written.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(written.substr(start, end - start));
  }
  written.erase(0, start);
  return lines;
}

Answer ScriptedDialogs::Message(const std::string& text, const std::string& caption, Buttons buttons) {
  shown.push_back({text, caption, buttons});
  if (whileShown) whileShown();
  if (!answers.empty()) {
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

std::optional<std::string> ScriptedDialogs::SaveFileName(const std::string&, const std::string&,
                                                         const std::string&, const std::string&) {
  if (fileNames.empty()) return std::nullopt;
  auto name = fileNames.front();
  fileNames.pop_front();
  return name;
}

std::optional<std::string> ScriptedDialogs::OpenFileName(const std::string&, const std::string&,
                                                         const std::string&) {
  if (whileChoosing) whileChoosing();
  if (fileNames.empty()) return std::nullopt;
  auto name = fileNames.front();
  fileNames.pop_front();
  return name;
}

int ScriptedParameterDialog::ShowModal() {
  ++shows;
  if (whileShown) whileShown();
  if (presses.empty()) return kParameterCancel;
  const Press press = presses.front();
  presses.pop_front();
  entry = press.entry;
  return press.result;
}

}  // namespace vireo::testing
