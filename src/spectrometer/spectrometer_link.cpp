#include "spectrometer/spectrometer_link.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

// A reading runs to its line end; what follows is not part of it.
std::string_view ToLineEnd(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

// Text without control bytes: a stray tab must not break the record's columns.
std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!IsControl(static_cast<unsigned char>(c))) out.push_back(c);
  }
  return out;
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

bool SpectrometerProtocol::SendSpectrometerCommand(std::string_view command) {
  if (host_.Offline()) return true;
  if (command.size() > SpectrometerLink{}.PendingCommand.Capacity()) return false;
  link_.PendingCommand = command;
  if (host_.PortOpen()) {
    link_.PositionAtRequest = host_.CuvettePosition();
    host_.Write(std::string_view(&kEnq, 1));
    if (host_.TraceShown()) host_.TraceLine(kTraceSeparator);
    TraceSpectrometer(kTraceSent, std::string_view(&kEnq, 1));
  }
  return true;
}

void SpectrometerProtocol::HandleSpectrometerBytes(std::string_view chunk) {
  chunk_.assign(chunk.substr(0, chunk.find('\0')));
  const std::string_view bytes = chunk_;
  const bool offline = host_.Offline();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char byte = bytes[i];
    const bool answered = byte != kEsc && byte != kAck && byte != kNak;
    if (byte == kEot) ShowSpectrometerBusy(false);
    if (!offline) {
      const bool alone = i + 1 == bytes.size() || IsControl(static_cast<unsigned char>(bytes[i + 1]));
      TraceSpectrometer(kTraceReceived, alone ? bytes.substr(i, 1) : bytes.substr(i));
    }
    if (answered && host_.PortOpen()) Write(kAck, true);
    if (byte == kAck && !link_.PendingCommand.View().empty()) {
      if (host_.PortOpen()) {
        host_.Write(link_.PendingCommand.View());
        TraceSpectrometer(kTraceSent, link_.PendingCommand.View());
        Write('\0', true);
        link_.AwaitingReply = true;
        ShowSpectrometerBusy(true);
      }
      link_.PendingCommand = "";
    } else if (answered && !link_.PendingCommand.View().empty()) {
      // The instrument was talking: ask again.
      Write(kEnq, true);
    }
    if (link_.AwaitingReply && (bytes.find('d') != std::string_view::npos || link_.ReplyContinues)) {
      ReadingReply(bytes);
      return;
    }
  }
}

void SpectrometerProtocol::ReadingReply(std::string_view chunk) {
  if (!host_.Offline() && host_.CuvettePosition() != link_.PositionAtRequest) return;
  const std::size_t d = chunk.find('d');
  const bool hasD = d != std::string_view::npos;
  const std::string_view reply = hasD ? ToLineEnd(chunk.substr(d)) : std::string_view();
  host_.TraceLine(Printable(reply));
  const bool continuing = link_.ReplyContinues;
  if (hasD) link_.ReplyContinues = false;
  std::string value;
  if (!link_.ReplyContinues) {
    const std::string text = Printable(reply);
    const auto length = static_cast<std::int32_t>(text.size());
    if (link_.ExpectedReplyLength == 0) {
      link_.ExpectedReplyLength = length;
    } else if (length < link_.ExpectedReplyLength) {
      link_.ReplyContinues = true;
    }
    value = text.substr(std::min<std::size_t>(1, text.size()));
  } else if (continuing) {
    link_.ReplyContinues = false;
    value = Printable(ToLineEnd(chunk));
  }
  // The trailing tabs place the record in its cell: they always fit, the
  // reading gives way.
  const int position = std::clamp(host_.CuvettePosition(), 1, 6);
  const std::size_t tabs = static_cast<std::size_t>(6 - position);
  const std::size_t used = link_.ReadingRecord.View().size() + tabs;
  const std::size_t capacity = link_.ReadingRecord.Capacity();
  const std::size_t room = capacity > used ? capacity - used : 0;
  std::string record = link_.ReadingRecord.Str() + value.substr(0, std::min(room, value.size()));
  link_.ReadingRecord = record;
  if (link_.ReplyContinues) return;
  record.append(tabs, '\t');
  link_.ReadingRecord = "";
  link_.AwaitingReply = false;
  host_.RecordComplete(record);
}

void SpectrometerProtocol::ShowSpectrometerBusy(bool on) {
  // Busy is taken up only while traced, but its end always counts: a command
  // sent with the trace shown and finished after it was hidden (the plot
  // shown) must not hold off every later reading.
  if (!on) link_.SpectrometerBusy = false;
  if (host_.Offline() || !host_.TraceShown()) return;
  host_.TraceLine(on ? kTraceBusy : kTraceNotBusy);
  link_.SpectrometerBusy = on;
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
  if (bytes.empty()) {
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
  if (link_.SpectrometerBusy) return false;
  std::string record = Format("    %c\t%.1f\t", letter, static_cast<double>(link_.Wavelength));
  record.append(report);
  record.push_back('\t');
  record.append(static_cast<std::size_t>(std::clamp(host_.CuvettePosition(), 1, 6) - 1), '\t');
  link_.ReadingRecord = record;
  if (host_.Offline()) {
    link_.AwaitingReply = true;
    return true;
  }
  SendSpectrometerCommand("d");
  return true;
}

}  // namespace vireo
