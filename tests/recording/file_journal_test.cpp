// The journal on disk: the files of a run, a run left open
// by a crash, and a folder that cannot be written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "recording/file_journal.h"

namespace vireo {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return in ? bytes.str() : "<missing>";
}

// Runs `body` in a child process and returns its exit code.
template <typename Body>
int InChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

struct FileJournalTest : ::testing::Test {
  FileJournalTest() {
    char folder[] = "/tmp/vireo-journal-XXXXXX";
    data = ::mkdtemp(folder);
  }
  ~FileJournalTest() override { fs::remove_all(data); }
  std::unique_ptr<FileJournal> Make(fs::path folder = {}) {
    return std::make_unique<FileJournal>((folder.empty() ? data : folder).string(), [this] { return now; });
  }
  // A journal in the middle of a run: connected and configured.
  static void StartRun(Journal& journal) {
    journal.Connected();
    journal.NewRun();
  }
  fs::path Run(const char* name) const { return data / "runs" / name; }

  fs::path data;
  LocalTime now{2026, 12, 9, 14, 3, 27, 5, 60};
};

TEST_F(FileJournalTest, EveryRecordAndLineIsInItsFileAsSoonAsItIsMadeAndTheEndIsMarked) {
  auto journal = Make();
  journal->Connected();
  journal->DisplayLogText("[F1 VN ?]");
  journal->NewRun();
  for (int series = 1; series <= 5; ++series) journal->SeriesRecord(series, " 0.045\t 2" + std::to_string(series) + ".34");
  journal->SeriesRecord(1, " 0.095\t 24.35");
  journal->DisplayLogText("|  [F1 TC +]");
  const fs::path run = Run("2026-12-09 14-03-27");
  ASSERT_EQ(journal->RunFolder(), run.string());
  EXPECT_EQ(Read(run / "sample.txt"), " 0.045\t 21.34\r\n 0.095\t 24.35\r\n");
  EXPECT_EQ(Read(run / "reference.txt"), " 0.045\t 22.34\r\n");
  EXPECT_EQ(Read(run / "probe.txt"), " 0.045\t 23.34\r\n");
  EXPECT_EQ(Read(run / "sample-heat-exchanger.txt"), " 0.045\t 24.34\r\n");
  EXPECT_EQ(Read(run / "reference-heat-exchanger.txt"), " 0.045\t 25.34\r\n");
  EXPECT_EQ(Read(run / "display-log.txt"),
            "2026-12-09T14:03:27.005+01:00\t[F1 VN ?]\r\n2026-12-09T14:03:27.005+01:00\t|  [F1 TC +]\r\n");
  EXPECT_FALSE(fs::exists(run / "spectrometer.txt"));  // files appear with their first line
  EXPECT_FALSE(fs::exists(run / kRunEndMarker));
  journal.reset();
  EXPECT_EQ(Read(run / kRunEndMarker), "Run ended normally at 2026-12-09T14:03:27.005+01:00.\r\n");
  EXPECT_EQ(Make()->UnendedRun(), "");
}

TEST_F(FileJournalTest, ARunLeftOpenIsNamedOnceAtTheNextStartButNotOneInUse) {
  const int code = InChild([this] {
    auto journal = Make().release();  // the program dies: nothing ends the run
    StartRun(*journal);
    journal->SeriesRecord(1, " 0.045\t 24.34");
    return 0;
  });
  ASSERT_EQ(code, 0);
  const fs::path crashed = Run("2026-12-09 14-03-27");
  now.hour = 15;
  auto next = Make();
  EXPECT_EQ(next->UnendedRun(), crashed.string());
  EXPECT_EQ(Read(crashed / "sample.txt"), " 0.045\t 24.34\r\n");
  EXPECT_NE(Read(crashed / kRunEndMarker).find("did not close normally"), std::string::npos);
  const std::string found = "2026-12-09T15:03:27.005+01:00\t-------Vireo did not close normally during this run; "
                            "found open at the start of 2026-12-09T15:03:27.005+01:00. Every record written before "
                            "then is kept.\r\n";
  EXPECT_TRUE(Read(crashed / "display-log.txt").ends_with(found)) << Read(crashed / "display-log.txt");
  // This one records now; a second Vireo started beside it names nothing.
  StartRun(*next);
  next->SeriesRecord(1, "x");
  EXPECT_EQ(Make()->UnendedRun(), "");
}

TEST_F(FileJournalTest, AFolderThatCannotBeWrittenIsReportedOnceAndFilledInOrderWhenItCanBe) {
  std::ofstream(data / "a file");
  auto journal = Make(data / "a file" / "Vireo");
  EXPECT_FALSE(journal->MakeDataFolder());
  StartRun(*journal);
  journal->DisplayLogText("first line");
  journal->SeriesRecord(1, "a");
  const auto failure = journal->TakeFailure();
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("a file"), std::string::npos) << *failure;
  journal->SeriesRecord(1, "b");
  EXPECT_FALSE(journal->Retry());
  // A run that ends meanwhile waits too; the failure is still the same one.
  journal->NewRun();
  journal->SeriesRecord(1, "c");
  EXPECT_EQ(journal->TakeFailure(), std::nullopt);

  fs::remove(data / "a file");
  EXPECT_TRUE(journal->Retry());
  EXPECT_FALSE(journal->Retry());  // said once
  journal->SeriesRecord(1, "d");
  const fs::path runs = data / "a file" / "Vireo" / "runs";
  const fs::path first = runs / "2026-12-09 14-03-27";
  const fs::path second = runs / "2026-12-09 14-03-27 (2)";
  EXPECT_EQ(Read(first / "sample.txt"), "a\r\nb\r\n");
  EXPECT_EQ(Read(first / "display-log.txt"), "2026-12-09T14:03:27.005+01:00\tfirst line\r\n");
  EXPECT_EQ(Read(second / "sample.txt"), "c\r\nd\r\n");
  journal.reset();
  EXPECT_NE(Read(first / kRunEndMarker).find("ended normally"), std::string::npos);
  EXPECT_NE(Read(second / kRunEndMarker).find("ended normally"), std::string::npos);
}

TEST_F(FileJournalTest, AFullFileSystemCutsNoRecordAndWhatItRefusedIsWrittenWhenThereIsRoom) {
  // 90 bytes hold five 16-byte records and part of a sixth.
  const int code = InChild([this] {
    rlimit limit{90, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    auto journal = Make();
    StartRun(*journal);
    for (int i = 0; i < 10; ++i) journal->SeriesRecord(1, " 0.045\t 24.34 ");
    if (!journal->TakeFailure() || journal->TakeFailure()) return 1;
    if (journal->Retry()) return 2;  // still no room
    if (Read(Run("2026-12-09 14-03-27") / "sample.txt").size() != 80) return 3;
    limit.rlim_cur = RLIM_INFINITY;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    for (int i = 10; i < 20; ++i) journal->SeriesRecord(1, " 0.045\t 24.34 ");
    if (!journal->Retry()) return 4;
    journal->SeriesRecord(1, "last");
    return journal->TakeFailure() ? 5 : 0;
  });
  ASSERT_EQ(code, 0);
  std::string all;
  for (int i = 0; i < 20; ++i) all += " 0.045\t 24.34 \r\n";
  EXPECT_EQ(Read(Run("2026-12-09 14-03-27") / "sample.txt"), all + "last\r\n");
}

}  // namespace
}  // namespace vireo
