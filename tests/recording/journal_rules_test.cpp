// The journal's pure rules: names and line formats, the run left open, and
// when runs start and end (driven through an in-memory host).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording/journal_format.h"
#include "recording/journal_runs.h"

namespace vireo {
namespace {

const LocalTime kNoon{2026, 12, 9, 14, 3, 27, 120, 60};

TEST(JournalFormat, NamesRunFoldersSoThatTheySortAndRecognisesThem) {
  EXPECT_EQ(RunFolderName(kNoon), "2026-12-09 14-03-27");
  EXPECT_EQ(RunFolderName(kNoon, 2), "2026-12-09 14-03-27 (2)");
  EXPECT_LT(RunFolderName({2026, 9, 30, 23, 59, 59}), RunFolderName({2026, 10, 1, 0, 0, 0}));
  struct Case {
    const char* name;
    bool run;
  };
  for (const Case& c : {Case{"2026-12-09 14-03-27", true}, Case{"2026-12-09 14-03-27 (12)", true},
                        Case{"2026-12-09 14-03-27 ()", false}, Case{"2026-12-09 14-03-2", false},
                        Case{"2026-12-09T14-03-27", false}, Case{"my notes", false}}) {
    EXPECT_EQ(IsRunFolderName(c.name), c.run) << c.name;
  }
}

TEST(JournalFormat, StampsIsoLocalTimeWithItsOffset) {
  EXPECT_EQ(IsoTime(kNoon), "2026-12-09T14:03:27.120+01:00");
  EXPECT_EQ(IsoTime({2026, 1, 2, 3, 4, 5, 6, -210}), "2026-01-02T03:04:05.006-03:30");
}

TEST(JournalFormat, StampsEveryLineAndEndsEachWithCrLf) {
  struct Case {
    const char* text;
    const char* lines;
  };
  for (const Case& c : {Case{"[F1 VN ?]", "T\t[F1 VN ?]\r\n"}, Case{"", "T\t\r\n"},
                        Case{"a\r\nb\rc\nd", "T\ta\r\nT\tb\r\nT\tc\r\nT\td\r\n"}, Case{"a\r\n", "T\ta\r\n"},
                        Case{"a\n\nb", "T\ta\r\nT\t\r\nT\tb\r\n"}}) {
    EXPECT_EQ(StampedLines("T", c.text), c.lines) << c.text;
  }
  EXPECT_EQ(RecordLine(" 0.045\t 24.34"), " 0.045\t 24.34\r\n");
  EXPECT_EQ(RecordLine("h\r\n"), "h\r\n");
}

TEST(JournalFormat, NamesTheNewestRunLeftOpenThatNoOneRecordsInto) {
  using Runs = std::vector<RunEntry>;
  EXPECT_EQ(NewestUnendedRun(Runs{}), std::nullopt);
  EXPECT_EQ(NewestUnendedRun(Runs{{"2026-12-01 10-00-00", true}}), std::nullopt);
  const Runs runs{{"2026-12-01 10-00-00", false},
                  {"2026-12-03 10-00-00", false, true},  // another Vireo's, recording now
                  {"2026-12-02 10-00-00", false},
                  {"2026-12-04 10-00-00", true},
                  {"zz not a run", false}};
  EXPECT_EQ(NewestUnendedRun(runs), "2026-12-02 10-00-00");
  EXPECT_EQ(UnendedRunMessage("/d/runs/r"),
            "Vireo did not close normally last time. The data recorded until then are kept in /d/runs/r.");
}

// Runs and files as plain text: "run 1" opens, "end" ends, "<file>: <bytes>".
class MemoryHost final : public JournalHost {
 public:
  void OpenRun() override { events.push_back("run " + std::to_string(++runs)); }
  void EndRun() override { events.push_back("end"); }
  void Append(JournalFile file, std::string_view lines) override {
    events.push_back(std::string(JournalFileName(file)) + ": " + std::string(lines));
  }
  std::string Stamp() override { return "T"; }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
  std::vector<std::string> events;
  int runs = 0;
};

struct JournalRunsTest : ::testing::Test {
  MemoryHost host;
  JournalRuns runs{host};
  using Events = std::vector<std::string>;
};

TEST_F(JournalRunsTest, FirstRunStartsAtTheFirstRecordAfterTheConfigurationWithTheStartUpCommands) {
  runs.LogText("[F1 IS ?]");  // the search: before any contact
  runs.Record(JournalFile::Sample, "x");
  runs.Connected();
  runs.LogText("[F1 VN ?]");
  runs.Record(JournalFile::Sample, " 0.010\t 20.00");  // about to be cleared by the configuration
  runs.NewRun();
  runs.LogText("[F1 CT +3]");
  EXPECT_EQ(host.Take(), Events{});
  runs.Record(JournalFile::Probe, " 0.050\t 21.00");
  runs.LogText("...[F1 CT 20.01]");
  EXPECT_EQ(host.Take(), (Events{"run 1", "display-log.txt: T\t[F1 VN ?]\r\nT\t[F1 CT +3]\r\n",
                                 "probe.txt:  0.050\t 21.00\r\n", "display-log.txt: T\t...[F1 CT 20.01]\r\n"}));
}

TEST_F(JournalRunsTest, ClearAllAndRestartEndTheRunAndTheNextRecordStartsAnother) {
  runs.Connected();
  runs.NewRun();
  runs.Record(JournalFile::Sample, "a");
  runs.NewRun();
  runs.NewRun();  // a second Clear All before any record: still one run to come
  runs.Record(JournalFile::Sample, "b");
  runs.Disconnected();
  runs.LogText("[F1 IS ?]");  // searching again
  runs.Record(JournalFile::Sample, "c");
  runs.Close();
  EXPECT_EQ(host.Take(), (Events{"run 1", "sample.txt: a\r\n", "end", "run 2", "sample.txt: b\r\n", "end"}));
}

TEST_F(JournalRunsTest, LinesLoggedAfterAClearAllThatNoRecordFollowedAreKept) {
  runs.Connected();
  runs.NewRun();
  runs.LogText("[F1 TC -]");
  runs.Close();
  EXPECT_EQ(host.Take(), (Events{"run 1", "display-log.txt: T\t[F1 TC -]\r\n", "end"}));
  // A long wait after Clear All does not hold lines without end.
  runs.Connected();
  runs.NewRun();
  for (std::size_t i = 0; i < kMaxHeldLines; ++i) runs.LogText("[F1 IS ?]");
  EXPECT_EQ(host.Take().front(), "run 2");
}

TEST_F(JournalRunsTest, EveryRunsSpectrometerFileStartsWithTheTableHeader) {
  runs.Connected();
  runs.NewRun();
  runs.SpectrometerHeader("time\tA1");
  runs.SpectrometerRecord("1\t0.5");
  runs.SpectrometerRecord("2\t0.6");
  runs.NewRun();
  runs.SpectrometerRecord("3\t0.7");
  runs.SpectrometerHeader("time\tA1\tA2\r\n");  // the table was set up anew
  runs.SpectrometerRecord("4\t0.8\t0.1");
  EXPECT_EQ(host.Take(),
            (Events{"run 1", "spectrometer.txt: time\tA1\r\n", "spectrometer.txt: 1\t0.5\r\n",
                    "spectrometer.txt: 2\t0.6\r\n", "end", "run 2", "spectrometer.txt: time\tA1\r\n",
                    "spectrometer.txt: 3\t0.7\r\n", "spectrometer.txt: time\tA1\tA2\r\n",
                    "spectrometer.txt: 4\t0.8\t0.1\r\n"}));
}

}  // namespace
}  // namespace vireo
