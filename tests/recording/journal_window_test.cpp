// The main window's journal hooks: what reaches the journal and when, new
// runs at Clear All, Clear & Restart and Restart, a folder that cannot be
// written, and the message about a run left open.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "recording/file_journal.h"
#include "shell/widgets.h"
#include "support/form_fixture.h"
#include "support/recording_journal.h"

namespace vireo::testing {
namespace {

FormOptions With(Journal& journal) {
  FormOptions options;
  options.journal = &journal;
  return options;
}

// A file of `bytes` in `dir`, for a file dialog to return; empty when it cannot be written.
std::string WriteFile(const QTemporaryDir& dir, const char* name, const char* bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) < 0) return std::string();
  return path.toStdString();
}

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

// A window on the journal double.
struct JournalWindow : ::testing::Test {
  RecordingJournal journal;
  std::unique_ptr<FormFixture> f;
  void Start() { f = std::make_unique<FormFixture>(std::vector<std::string>{"ttyUSB0"}, With(journal)); }
  void Connect() {
    f->ConnectAndAnswer();
    f->RunStartup();
  }
  FormA& W() { return *f->form; }
};

TEST_F(JournalWindow, GetsTheStartUpCommandsTheRunsBoundariesAndEveryRecordAsTheMemoHoldsIt) {
  Start();
  Connect();
  f->Receive("[F1 CT 24.87]\r\n[F1 PT 24.34]\r\n[R1 CT 25.00]\r\n[F1 HT 18.25]\r\n[R1 HT 19.5]\r\n");
  const std::vector<std::string>& c = journal.calls;
  const auto at = [&](const std::string& call) { return std::find(c.begin(), c.end(), call) - c.begin(); };
  EXPECT_LT(at("connected"), at("log [F1 VN ?]"));
  EXPECT_LT(at("log [F1 VN ?]"), at("new run"));     // the start-up commands, then its Clear All,
  EXPECT_LT(at("new run"), at("log [F1 CT +3]"));    // then the report intervals
  for (int series = 1; series <= 5; ++series) {
    std::string memo = f->SeriesText(series);
    memo.erase(memo.size() - 2);  // the record without its CR LF
    EXPECT_TRUE(Contains(c, "series " + std::to_string(series) + ":" + memo)) << memo;
  }
  journal.calls.clear();
  W().M_Plot_ClearRestart->trigger();
  W().M_File_Restart->trigger();
  W().FormClose();
  EXPECT_EQ(journal.calls, (std::vector<std::string>{"new run", "disconnected", "new run",
                                                     "log -------Vireo closed by the user (File > Exit or the "
                                                     "window's close box)",
                                                     "close"}));
}

// Logging out with a ramp running under a script: the script ends as Cancel
// Script ends it, the holders are left as they are, and the audit trail says so.
TEST_F(JournalWindow, ATerminationSignalEndsTheScriptAndTheRunAndSendsNothing) {
  QTemporaryDir dir;
  const std::string script =
      WriteFile(dir, "melt.txt", "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n[F1 RS S 5]\r\n[F1 TC +]\r\n[*D 1000]\r\n");
  ASSERT_FALSE(script.empty());
  Start();
  Connect();
  W().M_Tools_ScriptWindow_Click(W().M_Tools_ScriptWindow);
  f->dialogs.fileNames.push_back(script);
  W().Btn_RunScriptClick(W().Btn_RunScript);
  f->Timer1Tick(4);  // banner, ramp, control on, delay
  f->Receive("[F1 IS 1+++]\r\n");  // the holder heats
  ASSERT_TRUE(W().RampActive);
  f->Sent();
  journal.calls.clear();
  FakeTerminationSignals termination;
  termination.Listen([this](std::string_view name) { W().EndBySignal(name); });
  termination.Raise("SIGTERM");
  EXPECT_EQ(f->Sent(), std::vector<std::string>{});
  EXPECT_TRUE(f->dialogs.shown.empty());
  EXPECT_FALSE(W().Engine.Started());
  EXPECT_EQ(journal.calls, (std::vector<std::string>{"log \r\n-------Script Canceled", "log melt.txt",
                                                     "log -------Vireo ended by SIGTERM: nothing was sent to the "
                                                     "controller, its holders keep their state",
                                                     "close"}));
  // The window's closing afterwards asks and sends nothing either.
  journal.calls.clear();
  EXPECT_TRUE(W().FormClose());
  EXPECT_EQ(f->Sent(), std::vector<std::string>{});
  EXPECT_TRUE(f->dialogs.shown.empty());
  termination.Raise("SIGINT");
  EXPECT_EQ(journal.calls, std::vector<std::string>{});
}

// The session ends while the Exit question is on screen: the box's loop
// returns, and its answer must not switch the holders off.
TEST_F(JournalWindow, ASignalDuringTheExitQuestionSendsNothing) {
  Start();
  Connect();
  f->Receive("[F1 IS 1+++]\r\n");  // control on, heating
  f->Sent();
  f->dialogs.whileShown = [this] {
    f->dialogs.whileShown = nullptr;
    W().EndBySignal("SIGHUP");
  };
  EXPECT_TRUE(W().FormClose());
  ASSERT_EQ(f->dialogs.shown.size(), 1u);
  EXPECT_EQ(f->Sent(), std::vector<std::string>{});
  EXPECT_EQ(journal.calls.back(), "close");
}

TEST_F(JournalWindow, NothingIsJournaledFromALoadedFileOrOffline) {
  QTemporaryDir dir;
  const std::string file = WriteFile(dir, "s.txt", " 1.000\t 20.00\r\n");
  ASSERT_FALSE(file.empty());
  Start();
  Connect();
  journal.calls.clear();
  f->dialogs.fileNames.push_back(file);
  W().M_Data_Load_Items[0]->trigger();
  W().Recording.OfflineMode = true;
  W().AppendRecord(1, 20.0f);
  W().AppendToDisplayLog(-1, "offline");
  EXPECT_EQ(journal.calls, std::vector<std::string>{});
}

TEST_F(JournalWindow, NamesTheRunLeftOpenAndOpensItsFolderOrTheDataFolderOnRequest) {
  journal.unended = "/data/Vireo/runs/2026-12-09 14-03-27";
  Start();
  f->dialogs.answers.push_back(Answer::OpenFolder);
  QCoreApplication::processEvents();
  ASSERT_EQ(f->dialogs.shown.size(), 1u);
  EXPECT_EQ(f->dialogs.shown[0].text, UnendedRunMessage(journal.unended));
  EXPECT_EQ(f->dialogs.shown[0].buttons, Buttons::OpenFolderOk);
  W().M_File_OpenDataFolder->trigger();
  EXPECT_EQ(f->desktop.documents, (std::vector<std::string>{journal.unended, "/data/Vireo"}));
}

// The window on the real journal in a temporary folder; each run a minute apart.
struct JournalOnDisk : ::testing::Test {
  QTemporaryDir dir;
  LocalTime now{2026, 12, 9, 14, 0, 0, 0, 0};
  std::unique_ptr<FileJournal> journal;
  std::unique_ptr<FormFixture> f;
  void Start(const QString& folder) {
    journal = std::make_unique<FileJournal>(folder.toStdString(), [this] { return now; });
    f = std::make_unique<FormFixture>(std::vector<std::string>{"ttyUSB0"}, With(*journal));
    f->ConnectAndAnswer();
    f->RunStartup();
  }
  ~JournalOnDisk() override {
    f.reset();
    journal.reset();
  }
  QString Runs() const { return dir.filePath(QStringLiteral("runs")); }
};

TEST_F(JournalOnDisk, ClearAllClearAndRestartAndRestartStartNewRunsAndKeepTheOldOnes) {
  Start(dir.path());
  FormA& w = *f->form;
  const std::vector<std::function<void()>> newRun = {
      [&] { w.M_Plot_ClearAll->trigger(); },
      [&] { w.M_Plot_ClearRestart->trigger(); },
      [&] {
        w.M_File_Restart->trigger();
        f->ConnectAndAnswer();
        f->RunStartup();
      },
  };
  f->Receive("[F1 CT 20.00]\r\n");
  for (std::size_t i = 0; i < newRun.size(); ++i) {
    if (i > 0) ++now.minute;  // the first new run starts within the same second
    newRun[i]();
    f->Receive("[F1 CT 2" + std::to_string(i + 1) + ".00]\r\n");
  }
  const QStringList runs = QDir(Runs()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  EXPECT_EQ(runs, (QStringList{"2026-12-09 14-00-00", "2026-12-09 14-00-00 (2)", "2026-12-09 14-01-00",
                               "2026-12-09 14-02-00"}));
  ASSERT_EQ(runs.size(), 4);
  for (qsizetype i = 0; i < runs.size(); ++i) {
    const std::string sample = ReadFile(Runs() + QLatin1Char('/') + runs[i] + QStringLiteral("/sample.txt"));
    EXPECT_EQ(sample.substr(sample.find('\t')), "\t 2" + std::to_string(i) + ".00\r\n") << runs[i].toStdString();
  }
}

TEST_F(JournalOnDisk, AFolderThatCannotBeWrittenIsNoticedOnceAndTheMemosKeepEveryRecord) {
  QFile blocker(dir.filePath(QStringLiteral("a file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  Start(dir.filePath(QStringLiteral("a file/Vireo")));
  FormA& w = *f->form;
  f->Receive("[F1 CT 20.00]\r\n[F1 CT 20.01]\r\n");
  EXPECT_TRUE(w.Panel_ErrorNotice->isVisibleTo(&w));
  EXPECT_TRUE(w.L_ErrorNotice->text().contains(QStringLiteral("a file"))) << w.L_ErrorNotice->text().toStdString();
  w.Btn_ErrorNoticeClick(w.Btn_ErrorNotice);
  f->Receive("[F1 CT 20.02]\r\n");
  EXPECT_FALSE(w.Panel_ErrorNotice->isVisibleTo(&w));
  EXPECT_EQ(f->SeriesText(1).size(), 3 * std::string(" 0.000\t 20.00\r\n").size());
}

}  // namespace
}  // namespace vireo::testing
