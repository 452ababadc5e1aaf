#include "spectrometer/spectrometer_link.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>

#include "controller/protocol.h"

namespace vireo {
namespace {

bool IsControl(unsigned char byte) { return byte <= 27; }

const char* ControlName(char byte) {
  switch (byte) {
    case kEnq:
      return "ENQ";
    case kEot:
      return "EOT";
    case kAck:
      return "ACK";
    case kEsc:
      return "ESC";
    default:
      return nullptr;
  }
}

// Text without control bytes: a stray tab must not break the record's columns.
std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!IsControl(static_cast<unsigned char>(c))) out.push_back(c);
  }
  return out;
}

// A damaged reply as the display log and its file can show it: bytes outside
// printable ASCII as \xNN, so that the damage is seen and the log stays plain text.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out.push_back(c);
    } else {
      constexpr char kHex[] = "0123456789ABCDEF";
      out += {'\\', 'x', kHex[u >> 4], kHex[u & 0xF]};
    }
  }
  return out;
}

// A reading's text is a number after optional blanks, alone or followed by a
// blank and more words (a unit). Anything else is a reply damaged on the line
// ("0.1#34", a byte lost from the number's neighbourhood): recording it would
// put a wrong number in the table.
bool IsReadingText(std::string_view text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) return false;
  }
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  if (text[start] == '+') ++start;
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data() + start, end, value);
  if (result.ec != std::errc() || !std::isfinite(value)) return false;
  return result.ptr == end || *result.ptr == ' ';
}

}  // namespace

std::string FreeSpectrometerCommand(std::string_view text) {
  std::string command(text.substr(0, text.find(']')));
  for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return command;
}

void SpectrometerProtocol::Write(char byte, bool trace) {
  host_.Write(std::string_view(&byte, 1));
  if (trace) TraceSpectrometer(kTraceSent, byte == '\0' ? std::string_view() : std::string_view(&byte, 1));
}

bool SpectrometerProtocol::Exchanging() const {
  return !link_.PendingCommand.View().empty() || !queued_.empty() || link_.SpectrometerBusy || link_.AwaitingReply;
}

bool SpectrometerProtocol::SendSpectrometerCommand(std::string_view command) {
  if (host_.Offline()) return true;
  if (command.size() > SpectrometerLink{}.PendingCommand.Capacity()) return false;
  if (command.empty()) return true;
  const auto sameKind = [&](std::string_view waiting) { return !waiting.empty() && waiting.front() == command.front(); };
  // A newer wavelength (or zero) replaces one that has not gone out yet.
  if (sameKind(link_.PendingCommand.View())) {
    link_.PendingCommand = command;
    return true;
  }
  for (std::string& waiting : queued_) {
    if (sameKind(waiting)) {
      waiting = command;
      return true;
    }
  }
  if (queued_.size() >= kMaxQueuedCommands) return false;
  queued_.emplace_back(command);
  SendNext();
  return true;
}

void SpectrometerProtocol::SendNext() {
  if (!link_.PendingCommand.View().empty() || link_.SpectrometerBusy || link_.AwaitingReply || queued_.empty()) {
    return;
  }
  link_.PendingCommand = queued_.front();
  queued_.pop_front();
  asked_ = false;
  if (host_.PortOpen()) {
    host_.Write(std::string_view(&kEnq, 1));
    asked_ = true;
    if (host_.TraceShown()) host_.TraceLine(kTraceSeparator);
    TraceSpectrometer(kTraceSent, std::string_view(&kEnq, 1));
  }
  Rearm();
}

void SpectrometerProtocol::ResetReceiver() {
  chunk_.clear();
  collecting_ = false;
  reply_.clear();
}

void SpectrometerProtocol::HandleSpectrometerBytes(std::string_view chunk) {
  chunk_.assign(chunk);
  const std::string_view bytes = chunk_;
  for (std::size_t i = 0; i < bytes.size();) {
    if (IsControl(static_cast<unsigned char>(bytes[i]))) {
      Received(bytes[i]);
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < bytes.size() && !IsControl(static_cast<unsigned char>(bytes[end]))) ++end;
    TextRun(bytes.substr(i, end - i));
    i = end;
  }
  // The simulated instrument hands over whole replies.
  if (host_.Offline() && collecting_) EndReply();
  Rearm();
}

void SpectrometerProtocol::Received(char byte) {
  if (!host_.Offline()) TraceSpectrometer(kTraceReceived, std::string_view(&byte, 1));
  // Any control byte ends a reading: a line end, NUL, EOT.
  if (collecting_) EndReply();
  const bool answered =
      byte != kEsc && byte != kAck && byte != kNak && byte != '\0' && byte != '\r' && byte != '\n';
  if (answered && host_.PortOpen()) Write(kAck, true);
  if (byte == kAck && !link_.PendingCommand.View().empty()) {
    const std::string command = link_.PendingCommand.Str();
    link_.PendingCommand = "";
    asked_ = false;
    if (host_.PortOpen()) {
      host_.Write(command);
      TraceSpectrometer(kTraceSent, command);
      Write('\0', true);
      // A "d" of the command panel has no report to be filed under.
      link_.AwaitingReply = command == "d" && !link_.ReadingRecord.View().empty();
      ShowSpectrometerBusy(true);
    } else if (command == "d") {
      link_.ReadingRecord = "";
    }
  } else if (answered && asked_ && !link_.PendingCommand.View().empty()) {
    // The instrument was talking: ask again.
    Write(kEnq, true);
  }
  if (byte == kEot) {
    ShowSpectrometerBusy(false);
    SendNext();
  }
}

void SpectrometerProtocol::TextRun(std::string_view run) {
  if (!host_.Offline()) TraceSpectrometer(kTraceReceived, run);
  for (char c : run) {
    if (collecting_) {
      if (reply_.size() < link_.ReadingRecord.Capacity()) reply_.push_back(c);
    } else if (link_.AwaitingReply && c == 'd') {
      collecting_ = true;
      reply_.clear();
      // Read after the changer moved, the reading may be of another cuvette.
      positionMoved_ = !host_.Offline() && host_.CuvettePosition() != link_.PositionAtRequest;
    }
  }
  if (host_.PortOpen()) Write(kAck, true);
  if (asked_ && !link_.PendingCommand.View().empty()) Write(kEnq, true);
}

void SpectrometerProtocol::EndReply() {
  collecting_ = false;
  const std::string value = std::exchange(reply_, {});
  host_.TraceLine("d" + value);
  if (positionMoved_) {
    if (host_.TraceShown()) host_.TraceLine("  (changer moved: not recorded)");
  } else if (!IsReadingText(value)) {
    host_.Notice("Spectrometer reply \"d" + Escaped(value) + "\" is no reading: not recorded");
  } else {
    // The trailing tabs place the record in its cell: they always fit, the
    // reading gives way.
    const int position = std::clamp(static_cast<int>(link_.PositionAtRequest), 1, 6);
    const std::size_t tabs = static_cast<std::size_t>(6 - position);
    std::string record = link_.ReadingRecord.Str();
    const std::size_t capacity = link_.ReadingRecord.Capacity();
    const std::size_t room = capacity > record.size() + tabs ? capacity - record.size() - tabs : 0;
    record.append(value, 0, std::min(room, value.size()));
    record.append(tabs, '\t');
    host_.RecordComplete(record);
  }
  link_.ReadingRecord = "";
  link_.AwaitingReply = false;
  SendNext();
}

void SpectrometerProtocol::TimerExpired() {
  if (collecting_) {
    EndReply();
  } else if (!link_.PendingCommand.View().empty()) {
    // The ENQ or its ACK was lost.
    if (host_.PortOpen()) {
      Write(kEnq, true);
      asked_ = true;
    }
  } else if (link_.SpectrometerBusy || link_.AwaitingReply) {
    host_.Notice(link_.AwaitingReply ? "Spectrometer: no reading came; that report is not recorded"
                                     : "Spectrometer: no end of work (EOT) came; the next command goes on");
    link_.AwaitingReply = false;
    link_.ReadingRecord = "";
    ShowSpectrometerBusy(false);
    SendNext();
  }
  Rearm();
}

void SpectrometerProtocol::Rearm() {
  if (collecting_) {
    host_.StartTimer(kReplySilenceMs);
  } else if (!host_.Offline() && Exchanging()) {
    host_.StartTimer(kInstrumentSilenceMs);
  } else {
    host_.StartTimer(0);
  }
}

void SpectrometerProtocol::ShowSpectrometerBusy(bool on) {
  // The busy state is the instrument's, traced or not: a command finished
  // while the plot was shown must not hold off every later reading.
  link_.SpectrometerBusy = on;
  if (host_.Offline() || !host_.TraceShown()) return;
  host_.TraceLine(on ? kTraceBusy : kTraceNotBusy);
}

void SpectrometerProtocol::TraceSpectrometer(std::string_view prefix, std::string_view bytes) {
  if (!host_.TraceShown()) return;
  std::string line(prefix);
  bool named = false;
  for (char c : bytes) {
    if (const char* name = ControlName(c)) {
      line += name;
      named = true;
    }
  }
  if (bytes.empty() || (bytes.size() == 1 && bytes.front() == '\0')) {
    line += "NUL";
  } else if (!named) {
    line += Printable(bytes);
  }
  host_.TraceLine(line);
}

std::optional<std::string> SpectrometerProtocol::SetWavelength(std::string_view entry) {
  const char mode = entry.empty() ? '\0' : entry.front();
  float& wavelength = link_.Wavelength;
  if (mode == ' ' || mode == '+' || mode == '-') {
    const std::optional<float> value = ParseLeadingFloat(entry.substr(1));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    if (mode == ' ') {
      wavelength = *value;
    } else if (mode == '+') {
      wavelength += *value;
    } else {
      wavelength -= *value;
    }
  }
  wavelength = std::clamp(wavelength, kMinWavelength, kMaxWavelength);
  SendSpectrometerCommand(Format("w%.0f", static_cast<double>(wavelength) * 10.0));
  return Format("%.1f", static_cast<double>(wavelength));
}

bool SpectrometerProtocol::RequestReading(char letter, std::string_view report) {
  if (!host_.Offline() && Exchanging()) {
    // Asked now, the reading would come back under the next report, or
    // replace the one still owed.
    ++unreadReports_;
    if (!unreadSaid_) {
      unreadSaid_ = true;
      host_.Notice("Spectrometer still busy: a temperature report got no reading (such reports are counted)");
    }
    return false;
  }
  const int position = std::clamp(host_.CuvettePosition(), 1, 6);
  link_.PositionAtRequest = position;
  std::string record = Format("    %c\t%.1f\t", letter, static_cast<double>(link_.Wavelength));
  record.append(report);
  record.push_back('\t');
  record.append(static_cast<std::size_t>(position - 1), '\t');
  link_.ReadingRecord = record;
  if (host_.Offline()) {
    link_.AwaitingReply = true;
    return true;
  }
  SendSpectrometerCommand("d");
  return true;
}

int SpectrometerProtocol::TakeUnreadReports() {
  unreadSaid_ = false;
  return std::exchange(unreadReports_, 0);
}

void SpectrometerProtocol::LinkLost() {
  if (link_.PendingCommand.View() != "d" && !link_.PendingCommand.View().empty()) {
    queued_.push_front(link_.PendingCommand.Str());
  }
  std::erase(queued_, "d");
  link_.PendingCommand = "";
  asked_ = false;
  link_.AwaitingReply = false;
  link_.ReadingRecord = "";
  link_.SpectrometerBusy = false;
  ResetReceiver();
  host_.StartTimer(0);
}

void SpectrometerProtocol::LinkBack() {
  ResetReceiver();
  std::erase_if(queued_, [](const std::string& c) { return c.front() == 'w'; });
  queued_.push_front(Format("w%.0f", static_cast<double>(link_.Wavelength) * 10.0));
  SendNext();
}

}  // namespace vireo
