// The status server's pure parts: the Host, token and rate checks, the page
// and metrics texts, the series filter and the event log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/request_checks.h"
#include "status/status_text.h"

namespace vireo {
namespace {

TEST(HostCheck, AcceptsAddressesLocalhostAndGivenNamesWithThePort) {
  const std::vector<std::string> names{"lab-pc.example.org"};
  struct Case {
    const char* host;
    std::uint16_t port;
    bool allowed;
  } cases[] = {
      {"127.0.0.1:8080", 8080, true},
      {"192.168.1.20:8080", 8080, true},
      {"[::1]:8080", 8080, true},
      {"localhost:8080", 8080, true},
      {"LocalHost:8080", 8080, true},
      {"lab-pc.example.org:8080", 8080, true},
      {"127.0.0.1", 80, true},
      {"localhost", 80, true},
      {"127.0.0.1:8081", 8080, false},  // another port
      {"127.0.0.1", 8080, false},       // a browser names the port when it is not 80
      {"127.0.0.1:", 80, false},
      {"evil.example:8080", 8080, false},  // a rebound name
      {"localhost.evil.example:8080", 8080, false},
      {"127.0.0.1.evil.example:8080", 8080, false},
      {"[::1]x:8080", 8080, false},
      {"[evil]:8080", 8080, false},
      {"127.0.0.1:8080x", 8080, false},
      {"", 8080, false},
  };
  for (const Case& c : cases) EXPECT_EQ(HostAllowed(c.host, c.port, names), c.allowed) << c.host;
}

TEST(TokenCheck, OnlyTheWholeTokenMatches) {
  const std::string token = "0123456789abcdef0123456789abcdef";
  EXPECT_TRUE(TokensEqual(token, token));
  for (const std::string& given : {std::string(), token.substr(0, 31), token + "0", "1" + token.substr(1),
                                  token.substr(0, 31) + "0", std::string(32, '0')}) {
    EXPECT_FALSE(TokensEqual(token, given)) << given;
  }
  EXPECT_FALSE(TokensEqual("", ""));  // no token configured is never "equal"
  EXPECT_EQ(BearerToken("Bearer abc"), "abc");
  EXPECT_EQ(BearerToken("bearer abc"), "abc");
  EXPECT_EQ(BearerToken("Basic abc"), "");
  EXPECT_EQ(BearerToken("Bearer "), "");
}

TEST(RateLimit, AllowsABurstThenTheRatePerClient) {
  RateLimiter limiter(10.0, 3.0);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limiter.Allow("a", 0));
  EXPECT_FALSE(limiter.Allow("a", 0));
  EXPECT_TRUE(limiter.Allow("b", 0));    // each client has its own allowance
  EXPECT_FALSE(limiter.Allow("a", 50));  // half a request earned
  EXPECT_TRUE(limiter.Allow("a", 110));
  EXPECT_FALSE(limiter.Allow("a", 110));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limiter.Allow("a", 10000));  // refilled to the burst, no more
  EXPECT_FALSE(limiter.Allow("a", 10000));
}

StatusSnapshot Sample() {
  StatusSnapshot s;
  s.title = "Vireo <on> /dev/ttyUSB0";
  s.controllerLinkUp = true;
  s.holders.push_back({"sample", 24.87f, 25.0f, "holding", true, true, 800, 18.5f});
  s.holders.push_back({"reference", 24.5f, 25.0f, "seeking", true, false, 0, std::nullopt});
  s.probeC = 24.91f;
  s.errorStrip = "Sample holder: overheated & switched off";
  s.script = {true, "melt \"fast\".txt", "[*WCT>=25]", "Waiting for CT >= 25.00", "loop 1: 2 of 5",
              "Insert <sample>"};
  s.seriesRecords = {120, 118, 0, 40, 0};
  s.spectrometer = {true, 260.0f, 12, {{1, 0.1234f, 24.8f, 6.0f}, {3, 0.5f, 24.8f, 6.1f}}};
  s.events.push_back({"2026-12-09T20:00:00+01:00", ProgramEvent::RunStarted, "first"});
  s.events.push_back({"2026-12-09T21:00:00+01:00", ProgramEvent::OperatorMessage, "second <b>"});
  return s;
}

TEST(StatusPage, ShowsEveryPartEscapedWithTheTokenOnLinksAndNewestEventFirst) {
  const std::string page = StatusPage(Sample(), "?token=abc", 5);
  for (const char* part : {
           "<meta http-equiv=\"refresh\" content=\"5\">",
           "id=\"sample-temperature\">24.87 \xC2\xB0" "C<",
           "id=\"reference-state\">seeking<",
           "id=\"sample-stirrer\">800 rpm<",
           "id=\"reference-stirrer\">off<",
           "id=\"probe-temperature\">24.91 \xC2\xB0" "C<",
           "Vireo &lt;on&gt; /dev/ttyUSB0",
           "overheated &amp; switched off",
           "melt &quot;fast&quot;.txt",
           "id=\"operator-message\">Waiting for the operator: Insert &lt;sample&gt;",
           "id=\"script-loop\">loop 1: 2 of 5<",
           "id=\"records-sample\">120<",
           "id=\"cell-3\">0.5000 at 24.80",
           "src=\"/plot.png?token=abc\"",
           "src=\"/spectrometer.png?token=abc\"",
           "href=\"/runs/?token=abc\"",
       }) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("records-probe"), std::string::npos);  // empty series are left out
  EXPECT_LT(page.find("second"), page.find("first"));
  EXPECT_EQ(page.find("<script"), std::string::npos);  // the page runs no script: its policy allows none
  EXPECT_EQ(page.find("-stale\""), std::string::npos);
}

TEST(StatusPage, HolderValuesOfAControllerThatIsNotAnsweringAreMarkedLastReported) {
  StatusSnapshot s = Sample();
  s.controllerLinkUp = false;
  const std::string page = StatusPage(s, "", 5);
  EXPECT_NE(page.find("id=\"sample-stale\">last reported<"), std::string::npos);
  EXPECT_NE(page.find("id=\"reference-stale\">last reported<"), std::string::npos);
}

TEST(Metrics, EveryFamilyHasHelpAndTypeAndLabelsAreEscaped) {
  StatusSnapshot s = Sample();
  s.holders[0].name = "sa\"m\\ple";
  const std::string text = MetricsText(s);
  EXPECT_NE(text.find("vireo_holder_temperature_celsius{holder=\"sa\\\"m\\\\ple\"} 24.87\n"), std::string::npos);
  EXPECT_NE(text.find("vireo_holder_state{holder=\"reference\",state=\"seeking\"} 1\n"), std::string::npos);
  EXPECT_NE(text.find("vireo_absorbance{cell=\"1\"} 0.1234\n"), std::string::npos);
  EXPECT_NE(text.find("vireo_operator_message_waiting 1\n"), std::string::npos);
  std::size_t types = 0, helps = 0;
  for (std::size_t at = text.find("# TYPE "); at != std::string::npos; at = text.find("# TYPE ", at + 1)) ++types;
  for (std::size_t at = text.find("# HELP "); at != std::string::npos; at = text.find("# HELP ", at + 1)) ++helps;
  EXPECT_EQ(types, helps);
  EXPECT_EQ(text.back(), '\n');
}

TEST(SeriesFilter, KeepsRecordsFromTheGivenMinuteAsTheTextHoldsThem) {
  const std::string text = " 0.000\t20.00\r\n 0.050\t20.10\r\nnot a record\r\n 0.100\t20.20\r\n 0.150\t20.30";
  EXPECT_EQ(RecordsSince(text, 0.1), " 0.100\t20.20\r\n 0.150\t20.30\r\n");
  EXPECT_EQ(RecordsSince(text, -1e300), " 0.000\t20.00\r\n 0.050\t20.10\r\n 0.100\t20.20\r\n 0.150\t20.30\r\n");
  EXPECT_EQ(RecordsSince(text, 99), "");
  EXPECT_EQ(RecordsSince("", 0), "");
}

TEST(ScriptCommand, IsTheLastBracketedCommandBeforeTheCursor) {
  const std::string script = "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n[F1 TC +] on\r\n[*WCT>=25] wait\r\n[*D 5]";
  EXPECT_EQ(CommandBefore(script, script.find("[*D")), "[*WCT>=25]");
  EXPECT_EQ(CommandBefore(script, script.size()), "[*D 5]");
  EXPECT_EQ(CommandBefore(script, 10), "");
  EXPECT_EQ(CommandBefore(script, 10000), "[*D 5]");
}

TEST(EventLog, KeepsTheLatestFiftyAndCountsAll) {
  EventLog log;
  for (int i = 0; i < 60; ++i) {
    log.Add({"t", i % 2 ? ProgramEvent::LinkLost : ProgramEvent::LinkBack, std::to_string(i)});
  }
  ASSERT_EQ(log.Latest().size(), 50u);
  EXPECT_EQ(log.Latest().front().text, "10");
  EXPECT_EQ(log.Latest().back().text, "59");
  EXPECT_EQ(log.Count(ProgramEvent::LinkLost), 30);
  EXPECT_EQ(log.Count(ProgramEvent::JournalCannotWrite), 0);
  EXPECT_EQ(OneLine("  two\r\nlines\tand a tab  "), "two  lines and a tab");
}

}  // namespace
}  // namespace vireo
