// The handshake byte by byte, on a host that records what the link writes,
// traces, completes and says, and holds the link's one timer.
#include "spectrometer/spectrometer_link.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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
  void Notice(std::string_view text) override { notices.emplace_back(text); }
  void StartTimer(int milliseconds) override { timerMs = milliseconds; }

  // What was written since the last call.
  std::string Take() { return std::exchange(written, {}); }

  bool open = true;
  bool traceShown = false;
  int position = 1;
  int timerMs = 0;
  std::string written;
  std::vector<std::string> trace;
  std::vector<std::string> records;
  std::vector<std::string> notices;
};

const std::string kEnqByte(1, kEnq);
const std::string kAckByte(1, kAck);
const std::string kEotByte(1, kEot);
const std::string kNul(1, '\0');
constexpr const char* kReport = " 1.234\t 25.00";

// The record of kReport with `reading` in the column of `position`.
std::string Record(const std::string& reading, int position = 1, const char* report = kReport) {
  return "    S\t550.0\t" + std::string(report) + "\t" + std::string(static_cast<std::size_t>(position - 1), '\t') +
         reading + std::string(static_cast<std::size_t>(6 - position), '\t');
}

class LinkTest : public ::testing::Test {
 protected:
  // A reading requested and the command handed over on the instrument's ACK.
  void RequestAndAck(const char* report = kReport) {
    ASSERT_TRUE(link.RequestReading('S', report));
    link.HandleSpectrometerBytes(kAckByte);
    host.Take();
  }
  // The instrument's silence as long as the link's timer asked for.
  void Silence(int expectedMs) {
    ASSERT_EQ(host.timerMs, expectedMs);
    link.TimerExpired();
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
  ASSERT_TRUE(link.RequestReading('S', kReport));
  EXPECT_EQ(host.Take(), kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);  // ACK itself is not answered
  EXPECT_EQ(host.Take(), "d" + kNul);
  EXPECT_TRUE(link.Link().AwaitingReply);
  EXPECT_TRUE(link.Link().SpectrometerBusy);
  EXPECT_TRUE(link.Link().PendingCommand.View().empty());
  link.HandleSpectrometerBytes(kEnqByte);
  EXPECT_EQ(host.Take(), kAckByte);
  link.HandleSpectrometerBytes("d 0.1234\r\nd 9.9");  // one message, one ACK; the second "d" is no reading
  EXPECT_EQ(host.Take(), kAckByte + kAckByte);
  ASSERT_EQ(host.records, std::vector<std::string>{Record(" 0.1234")});
  EXPECT_FALSE(link.Link().AwaitingReply);
  link.HandleSpectrometerBytes(kEotByte);
  EXPECT_EQ(host.Take(), kAckByte);
  EXPECT_FALSE(link.Exchanging());
  EXPECT_EQ(host.timerMs, 0);
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

TEST_F(LinkTest, CommandsWaitTheirTurnAndANewerWavelengthReplacesAWaitingOne) {
  link.SendSpectrometerCommand("w6000");
  link.SendSpectrometerCommand("x");
  link.SendSpectrometerCommand("w6500");  // replaces w6000, which has not gone out
  EXPECT_EQ(host.Take(), kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "w6500" + kNul);
  link.SendSpectrometerCommand("w7000");  // w6500 is under way: this one waits
  EXPECT_EQ(host.Take(), "");
  link.HandleSpectrometerBytes(kEotByte);
  EXPECT_EQ(host.Take(), kAckByte + kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "x" + kNul);
  link.HandleSpectrometerBytes(kEotByte + kAckByte);  // the next ENQ answered in the same chunk
  EXPECT_EQ(host.Take(), kAckByte + kEnqByte + "w7000" + kNul);
}

TEST_F(LinkTest, AClosedPortKeepsTheCommandForALaterAck) {
  host.open = false;
  link.SendSpectrometerCommand("x");
  EXPECT_EQ(host.Take(), "");
  host.open = true;
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "x" + kNul);
}

// Every split of a reply, in every cell, with every ending, with the
// instrument's ACK alone or in the chunk of the reply's first piece, and the
// EOT before or after: one record, all its digits, its own column, and the
// instrument free for the next reading.
TEST(LinkSplits, EveryPieceOfAReplyEndsInOneWholeRecord) {
  const std::string reply = "d-0.0123";
  enum class Ending { Silence, EotJoined, EotApart, LineEnd, Nul, EotBefore };
  const Ending endings[] = {Ending::Silence, Ending::EotJoined, Ending::EotApart,
                            Ending::LineEnd, Ending::Nul,       Ending::EotBefore};
  for (int position = 1; position <= 6; ++position) {
    for (std::size_t cut = 0; cut < reply.size(); ++cut) {
      for (Ending ending : endings) {
        for (bool ackJoined : {false, true}) {
          SCOPED_TRACE(::testing::Message() << "cell " << position << " cut " << cut << " ending "
                                            << static_cast<int>(ending) << " ack joined " << ackJoined);
          RecordingHost host;
          host.position = position;
          SpectrometerProtocol link{host};
          ASSERT_TRUE(link.RequestReading('S', kReport));
          std::vector<std::string> chunks;
          if (ending == Ending::EotBefore) chunks.push_back(kEotByte);
          if (cut == 0) {
            chunks.push_back(reply);
          } else {
            chunks.push_back(reply.substr(0, cut));
            chunks.push_back(reply.substr(cut));
          }
          if (ending == Ending::EotJoined) chunks.back() += kEotByte;
          if (ending == Ending::EotApart) chunks.push_back(kEotByte);
          if (ending == Ending::LineEnd) chunks.back() += "\r\n";
          if (ending == Ending::Nul) chunks.back() += kNul;
          if (ackJoined) {
            chunks.front().insert(0, kAckByte);
          } else {
            chunks.insert(chunks.begin(), kAckByte);
          }
          for (const std::string& chunk : chunks) link.HandleSpectrometerBytes(chunk);
          if (ending == Ending::Silence || ending == Ending::EotBefore) {
            ASSERT_EQ(host.timerMs, kReplySilenceMs);
            link.TimerExpired();
          }
          EXPECT_EQ(host.records, std::vector<std::string>{Record("-0.0123", position)});
          if (ending == Ending::Silence || ending == Ending::LineEnd || ending == Ending::Nul) {
            link.HandleSpectrometerBytes(kEotByte);
          }
          EXPECT_FALSE(link.Exchanging());
          EXPECT_TRUE(host.notices.empty());
        }
      }
    }
  }
}

TEST_F(LinkTest, AReplyByteByByteIsOneReading) {
  RequestAndAck();
  for (char c : std::string("d 1.2345")) link.HandleSpectrometerBytes(std::string(1, c));
  EXPECT_TRUE(host.records.empty());
  Silence(kReplySilenceMs);
  EXPECT_EQ(host.records, std::vector<std::string>{Record(" 1.2345")});
}

TEST_F(LinkTest, AReportWhileAReadingIsOwedIsNotReadAndCounted) {
  RequestAndAck(" 1.000\t 25.00");
  EXPECT_FALSE(link.RequestReading('S', " 1.050\t 25.50"));
  EXPECT_FALSE(link.RequestReading('S', " 1.100\t 26.00"));
  EXPECT_EQ(host.Take(), "");
  EXPECT_EQ(host.notices.size(), 1u);  // said once, then counted
  link.HandleSpectrometerBytes("d 0.5000" + kEotByte);
  // Filed under the report that asked for it, and nothing else added.
  EXPECT_EQ(host.records, std::vector<std::string>{Record(" 0.5000", 1, " 1.000\t 25.00")});
  EXPECT_EQ(link.TakeUnreadReports(), 2);
  EXPECT_EQ(link.TakeUnreadReports(), 0);
  // A setting under way holds off readings too: the wavelength comes first.
  link.SetWavelength(" 600");
  EXPECT_FALSE(link.RequestReading('S', kReport));
  EXPECT_EQ(host.notices.size(), 2u);
}

TEST_F(LinkTest, TheCellIsThePositionAtTheRequest) {
  host.position = 3;
  RequestAndAck();
  link.HandleSpectrometerBytes("d 0.1");
  host.position = 4;  // the changer moves while the reply's rest is on its way
  link.HandleSpectrometerBytes("234" + kEotByte);
  EXPECT_EQ(host.records, std::vector<std::string>{Record(" 0.1234", 3)});
  // Moved before the reply came: the reading may be of another cuvette and is
  // left out; the next reading is taken as usual.
  host.position = 4;
  RequestAndAck();
  host.position = 5;
  link.HandleSpectrometerBytes("d 0.5000");
  link.HandleSpectrometerBytes("\r\n" + kEotByte);
  EXPECT_EQ(host.records.size(), 1u);
  EXPECT_FALSE(link.Exchanging());
  RequestAndAck();
  link.HandleSpectrometerBytes("d 0.6000" + kEotByte);
  EXPECT_EQ(host.records.back(), Record(" 0.6000", 5));
}

TEST_F(LinkTest, DamagedRepliesAreNotRecorded) {
  struct Case {
    const char* reply;
    bool recorded;
    const char* shown;  // the reply as the notice quotes it: a damaged byte stays visible, as plain text
  };
  const Case cases[] = {{"d 0.1#34", false, "\"d 0.1#34\""}, {"d 0.12\xB7", false, "\"d 0.12\\xB7\""},
                        {"d", false, "\"d\""},               {"dx0.1234", false, "\"dx0.1234\""},
                        {"d 0.1234 Abs", true, ""},          {"d+0.1234", true, ""},
                        {"d-1.5e-3", true, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    RecordingHost h;
    SpectrometerProtocol p{h};
    ASSERT_TRUE(p.RequestReading('S', kReport));
    p.HandleSpectrometerBytes(kAckByte + c.reply + kEotByte);
    EXPECT_EQ(h.records.size(), c.recorded ? 1u : 0u);
    ASSERT_EQ(h.notices.size(), c.recorded ? 0u : 1u);
    if (!c.recorded) {
      EXPECT_NE(h.notices.front().find(c.shown), std::string::npos) << h.notices.front();
    }
    EXPECT_FALSE(p.Exchanging());
  }
}

TEST_F(LinkTest, ASilentInstrumentIsAskedAgainThenGivenUpOn) {
  ASSERT_TRUE(link.RequestReading('S', kReport));
  host.Take();
  Silence(kInstrumentSilenceMs);  // the ACK was lost
  EXPECT_EQ(host.Take(), kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "d" + kNul);
  Silence(kInstrumentSilenceMs);  // neither reading nor EOT
  EXPECT_FALSE(link.Exchanging());
  EXPECT_EQ(host.notices.size(), 1u);
  EXPECT_TRUE(host.records.empty());
  // A reply that comes after all is no reading now.
  link.HandleSpectrometerBytes("d 0.7000" + kEotByte);
  EXPECT_TRUE(host.records.empty());
  EXPECT_TRUE(link.RequestReading('S', kReport));
}

TEST_F(LinkTest, ALostLinkDropsTheReadingAndSetsTheWavelengthFirstWhenBack) {
  link.SetWavelength(" 600");
  link.HandleSpectrometerBytes(kAckByte + kEotByte);
  RequestAndAck();
  link.SendSpectrometerCommand("x");
  host.open = false;
  link.LinkLost();
  EXPECT_FALSE(link.Link().AwaitingReply);
  EXPECT_FALSE(link.Link().SpectrometerBusy);
  host.open = true;
  host.Take();
  link.LinkBack();
  EXPECT_EQ(host.Take(), kEnqByte);
  link.HandleSpectrometerBytes(kAckByte);
  EXPECT_EQ(host.Take(), "w6000" + kNul);
  link.HandleSpectrometerBytes(kEotByte + kAckByte);
  EXPECT_EQ(host.Take(), kAckByte + kEnqByte + "x" + kNul);
  EXPECT_TRUE(host.records.empty());
}

TEST_F(LinkTest, TheEndOfBusyCountsWhileTheTraceIsHidden) {
  host.traceShown = true;
  RequestAndAck();
  ASSERT_TRUE(link.Link().SpectrometerBusy);
  host.traceShown = false;  // the plot is shown
  link.HandleSpectrometerBytes("d 0.1" + kEotByte);
  EXPECT_FALSE(link.Link().SpectrometerBusy);
  EXPECT_TRUE(link.RequestReading('S', kReport));
}

TEST_F(LinkTest, TraceOfAWholeExchange) {
  host.traceShown = true;
  link.RequestReading('S', kReport);
  link.HandleSpectrometerBytes(kAckByte);
  link.HandleSpectrometerBytes("d 0.1234\r\n" + kEotByte);
  const std::vector<std::string> expected{
      "_________________", "-->  ENQ", "  <--ACK", "-->  d", "-->  NUL", "              busy",
      "  <--d 0.1234", "-->  ACK", "  <--", "d 0.1234", "  <--", "  <--EOT", "-->  ACK", "          not busy"};
  EXPECT_EQ(host.trace, expected);
}

TEST_F(LinkTest, TextsStayWithinTheirBounds) {
  EXPECT_FALSE(link.SendSpectrometerCommand("w12345abcd"));  // ten characters
  EXPECT_TRUE(link.Link().PendingCommand.View().empty());
  EXPECT_EQ(host.Take(), "");
  EXPECT_EQ(FreeSpectrometerCommand("W5000] rest"), "w5000");
  // A free "d" has no report to be filed under: its reply is only traced.
  link.SendSpectrometerCommand("d");
  link.HandleSpectrometerBytes(kAckByte + "d 0.1" + kEotByte);
  EXPECT_TRUE(host.records.empty());

  // A reply far longer than the record holds still leaves the record's cell tabs.
  host.position = 2;
  RequestAndAck();
  link.HandleSpectrometerBytes("d " + std::string(400, '7') + kEotByte);
  ASSERT_EQ(host.records.size(), 1u);
  const std::string& record = host.records[0];
  EXPECT_EQ(record.size(), 200u);
  EXPECT_EQ(record.substr(196), "\t\t\t\t");
}

}  // namespace
}  // namespace vireo
