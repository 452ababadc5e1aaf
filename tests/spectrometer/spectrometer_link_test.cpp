// The handshake byte by byte, on a host that records what the link writes,
// traces and completes.
#include "spectrometer/spectrometer_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vireo {
namespace {

struct RecordingHost final : SpectrometerHost {
  bool PortOpen() const override { return open; }
  void Write(std::string_view bytes) override { written.append(bytes); }
  bool Offline() const override { return false; }
  int CuvettePosition() const override { return position; }
  bool TraceShown() const override { return traceShown; }
  void TraceLine(std::string_view line) override { trace.emplace_back(line); }
  void RecordComplete(std::string_view record) override { records.emplace_back(record); }

  // What was written since the last call.
  std::string Take() { return std::exchange(written, {}); }

  bool open = true;
  bool traceShown = false;
  int position = 1;
  std::string written;
  std::vector<std::string> trace;
  std::vector<std::string> records;
};

const std::string kEnqByte(1, kEnq);
const std::string kAckByte(1, kAck);
const std::string kEotByte(1, kEot);
const std::string kNul(1, '\0');
constexpr const char* kReport = " 1.234\t 25.00";

class LinkTest : public ::testing::Test {
 protected:
  // A reading requested and the command handed over on the instrument's ACK.
  void RequestAndAck() {
    ASSERT_TRUE(link.RequestReading('S', kReport));
    link.HandleSpectrometerBytes(kAckByte);
    host.Take();
  }
  RecordingHost host;
  SpectrometerProtocol link{host};
};

TEST_F(LinkTest, WavelengthEntriesClampAndSendTenths) {
  struct Case {
    const char* entry;
    const char* shown;
    const char* sent;
  };
  const Case cases[] = {
      {"+700", "1100.0", "w11000"}, {"-500", "190.0", "w1900"}, {" 600", "600.0", "w6000"},
      {"550.0", "550.0", "w5500"},  // the connect passes the box: "5" is no mode
      {" 432.25", "432.2", "w4322"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    RecordingHost h;
    SpectrometerProtocol p{h};
    const std::optional<std::string> shown = p.SetWavelength(c.entry);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, c.shown);
    EXPECT_EQ(p.Link().PendingCommand.Str(), c.sent);
    EXPECT_EQ(h.Take(), kEnqByte);
  }
  // A set without a number changes and sends nothing.
  EXPECT_FALSE(link.SetWavelength(" nm"));
  EXPECT_EQ(link.Link().Wavelength, 550.0f);
  EXPECT_EQ(host.Take(), "");
}

TEST_F(LinkTest, ReadingExchangeByteByByte) {
  host.position = 1;
  ASSERT_TRUE(link.RequestReading('S', kReport));
  EXPECT_EQ(host.Take(), kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);  // ACK itself is not answered
  EXPECT_EQ(host.Take(), "d" + kNul);
  EXPECT_TRUE(link.Link().AwaitingReply);
  EXPECT_TRUE(link.Link().PendingCommand.View().empty());
  link.HandleSpectrometerBytes(kEnqByte);
  EXPECT_EQ(host.Take(), kAckByte);
  link.HandleSpectrometerBytes(kEotByte);
  EXPECT_EQ(host.Take(), kAckByte);
  link.HandleSpectrometerBytes("d 0.1234\r\nd 9.9");  // the rest of the chunk is ignored
  EXPECT_EQ(host.Take(), kAckByte);
  ASSERT_EQ(host.records.size(), 1u);
  EXPECT_EQ(host.records[0], "    S\t550.0\t 1.234\t 25.00\t 0.1234\t\t\t\t\t");
  EXPECT_FALSE(link.Link().AwaitingReply);
  EXPECT_EQ(link.Link().ExpectedReplyLength, 8);  // line ends are not part of the reading
}

TEST_F(LinkTest, OtherBytesAreAcknowledgedAndAPendingCommandAsksAgain) {
  ASSERT_TRUE(link.SendSpectrometerCommand("x"));
  host.Take();
  link.HandleSpectrometerBytes("A");
  EXPECT_EQ(host.Take(), kAckByte + kEnqByte);
  const char silent[] = {kEsc, kNak};
  for (char byte : silent) {
    link.HandleSpectrometerBytes(std::string(1, byte));
    EXPECT_EQ(host.Take(), "") << int(byte);
  }
}

TEST_F(LinkTest, OnlyTheLastOfTwoCommandsBeforeTheAckIsSent) {
  link.SendSpectrometerCommand("w6000");
  link.SendSpectrometerCommand("x");
  EXPECT_EQ(host.Take(), kEnqByte + kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "x" + kNul);
}

TEST_F(LinkTest, AClosedPortKeepsTheCommandForALaterAck) {
  host.open = false;
  link.SendSpectrometerCommand("x");
  EXPECT_EQ(host.Take(), "");
  host.open = true;
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "x" + kNul);
}

TEST_F(LinkTest, AShortReplyIsCompletedByTheNextChunk) {
  RequestAndAck();
  link.HandleSpectrometerBytes("d 0.1234");
  ASSERT_EQ(host.records.size(), 1u);
  RequestAndAck();
  link.HandleSpectrometerBytes("d 0.12");
  EXPECT_EQ(host.records.size(), 1u);
  EXPECT_TRUE(link.Link().ReplyContinues);
  link.HandleSpectrometerBytes("34\r\n");
  ASSERT_EQ(host.records.size(), 2u);
  EXPECT_EQ(host.records[1], "    S\t550.0\t 1.234\t 25.00\t 0.1234\t\t\t\t\t");
}

TEST_F(LinkTest, AReplyAfterThePositionChangedIsNotRecorded) {
  host.position = 2;
  RequestAndAck();
  host.position = 3;
  link.HandleSpectrometerBytes("d 0.5000");
  EXPECT_TRUE(host.records.empty());
  EXPECT_TRUE(link.Link().AwaitingReply);
}

TEST_F(LinkTest, TheRecordFillsTheColumnOfItsPosition) {
  host.position = 3;
  RequestAndAck();
  link.HandleSpectrometerBytes("d 0.4321");
  ASSERT_EQ(host.records.size(), 1u);
  EXPECT_EQ(host.records[0], "    S\t550.0\t 1.234\t 25.00\t\t\t 0.4321\t\t\t");
}

TEST_F(LinkTest, ABusyInstrumentGetsNoRequest) {
  host.traceShown = true;  // the busy state is kept only while traced
  RequestAndAck();
  ASSERT_TRUE(link.Link().SpectrometerBusy);
  EXPECT_FALSE(link.RequestReading('S', kReport));
  link.HandleSpectrometerBytes(kEotByte);
  EXPECT_TRUE(link.RequestReading('S', kReport));
}

TEST_F(LinkTest, TheEndOfBusyCountsWhileTheTraceIsHidden) {
  host.traceShown = true;
  RequestAndAck();
  host.traceShown = false;  // the plot is shown
  link.HandleSpectrometerBytes(kEotByte);
  EXPECT_FALSE(link.Link().SpectrometerBusy);
  EXPECT_TRUE(link.RequestReading('S', kReport));
}

TEST_F(LinkTest, TraceOfAWholeExchange) {
  host.traceShown = true;
  link.RequestReading('S', kReport);
  link.HandleSpectrometerBytes(kAckByte);
  link.HandleSpectrometerBytes(kEotByte);
  link.HandleSpectrometerBytes("d 0.1234\r\n");
  const std::vector<std::string> expected{
      "_________________", "-->  ENQ", "  <--ACK", "-->  d", "-->  NUL", "              busy",
      "          not busy", "  <--EOT", "-->  ACK", "  <--d 0.1234", "-->  ACK", "d 0.1234"};
  EXPECT_EQ(host.trace, expected);
}

TEST_F(LinkTest, TextsStayWithinTheirBounds) {
  EXPECT_FALSE(link.SendSpectrometerCommand("w12345abcd"));  // ten characters
  EXPECT_TRUE(link.Link().PendingCommand.View().empty());
  EXPECT_EQ(host.Take(), "");
  EXPECT_EQ(FreeSpectrometerCommand("W5000] rest"), "w5000");

  // A reply far longer than the record holds still leaves the record's cell tabs.
  host.position = 2;
  RequestAndAck();
  link.HandleSpectrometerBytes("d " + std::string(400, '7'));
  ASSERT_EQ(host.records.size(), 1u);
  const std::string& record = host.records[0];
  EXPECT_EQ(record.size(), 200u);
  EXPECT_EQ(record.substr(196), "\t\t\t\t");
}

}  // namespace
}  // namespace vireo
