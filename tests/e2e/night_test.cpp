// An unattended night against the controller simulator run as a process on
// a pseudo-terminal reached through a symbolic link, as a USB adapter is
// through /dev/serial/by-id: the simulator killed and started again, stopped
// and continued, and the journal's disk refusing writes for a while. Each
// time recording must go on by itself and keep every report the simulator
// sent, in the window and in the journal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "controller/qt_serial_channel.h"
#include "recording/file_journal.h"
#include "recording/series_memo.h"
#include "shell/widgets.h"
#include "support/form_fixture.h"
#include "support/wait_until.h"

namespace vireo::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> SampleReadings(const std::string& text, const char* pattern) {
  std::vector<std::string> values;
  const QRegularExpression re(QString::fromLatin1(pattern));
  auto it = re.globalMatch(QString::fromLatin1(text.c_str()));
  while (it.hasNext()) values.push_back(it.next().captured(1).toStdString());
  return values;
}

struct NightRun : ::testing::Test {
  NightRun() {
    char folder[] = "/tmp/vireo-night-XXXXXX";
    dir = ::mkdtemp(folder);
    link = dir / "usb-Vireo_Controller-if00";
    journal = std::make_unique<FileJournal>((dir / "data").string());
  }
  ~NightRun() override {
    if (form) form->Shell.CloseAsked = false;
    form.reset();
    journal.reset();
    if (sim.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(sim.processId()), SIGCONT);
      sim.kill();
      sim.waitForFinished(5000);
    }
    fs::remove_all(dir);
  }

  // Starts the simulator (again) and points the link at its device, which
  // the simulator names on its first line.
  void StartSimulator() {
    sim.start(qEnvironmentVariable("VIREO_BUILD_DIR") + QStringLiteral("/vireo-controller-sim"),
              {QString::fromStdString("transcript=" + (dir / "sent.txt").string())});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(WaitUntil([&] { return sim.canReadLine(); }, 10000));
    const std::string device = sim.readLine().trimmed().toStdString();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    const fs::path fresh = dir / "link.new";
    fs::create_symlink(device, fresh);
    fs::rename(fresh, link);  // replaced in one step, as udev does
  }

  void Connect() {
    StartSimulator();
    FormOptions options;
    options.automaticSearch = false;
    options.extraPorts = {link.string()};
    options.journal = journal.get();
    form = std::make_unique<FormA>(doubles.With(channel, ticks), options);
    form->Recording.PlotInterval = form->Recording.PlotIntervalSetting = 1;  // a report every second
    form->Btn_COMClick(form->Btn_COM);
    ASSERT_TRUE(channel.Active()) << channel.LastError();
    ASSERT_TRUE(WaitUntil([&] { return form->Controller.ControllerFound; }, 20000));
    WaitForRecords(3);
  }

  std::size_t Records() const { return SampleReadings(form->SeriesMemos[0]->Text(), kRecord).size(); }
  void WaitForRecords(std::size_t more) {
    const std::size_t wanted = Records() + more;
    ASSERT_TRUE(WaitUntil([&] { return Records() >= wanted; }, 30000)) << "recording did not go on";
  }
  std::string Notice() const { return form->L_ErrorNotice->text().toStdString(); }
  void WaitForLinkBack() {
    ASSERT_TRUE(WaitUntil([&] { return !form->Link.Lost(); }, 60000)) << Notice();
    EXPECT_TRUE(form->GrB_S_Holder->isEnabled());
  }

  // Every sample report the simulators sent since the run began is in the
  // series, in order, and the journal's file holds the series exactly.
  void ExpectNothingLost() {
    WaitForRecords(5);
    const std::string memo = form->SeriesMemos[0]->Text();
    const std::vector<std::string> recorded = SampleReadings(memo, kRecord);
    const std::vector<std::string> sent = SampleReadings(ReadFile(dir / "sent.txt"), "\\[F1 CT (-?\\d+\\.\\d+)\\]");
    ASSERT_GE(recorded.size(), 10u);
    bool found = false;
    for (std::size_t k = 0; !found && k + recorded.size() <= sent.size(); ++k) {
      found = std::equal(recorded.begin(), recorded.end(), sent.begin() + static_cast<std::ptrdiff_t>(k));
    }
    EXPECT_TRUE(found) << "the series is not the simulators' reports without a gap";
    std::string journaled = ReadFile(fs::path(journal->RunFolder()) / "sample.txt");
    std::erase(journaled, '\r');
    std::string shown = memo;
    std::erase(shown, '\r');
    if (!shown.empty() && shown.back() != '\n') shown += '\n';
    EXPECT_EQ(journaled, shown);
  }

  std::string AuditTrail() const { return ReadFile(fs::path(journal->RunFolder()) / "display-log.txt"); }

  static constexpr const char* kRecord = "\\t *(-?\\d+\\.\\d+)";
  fs::path dir;
  fs::path link;
  std::unique_ptr<FileJournal> journal;
  QProcess sim;
  WindowDoubles doubles;
  QtSerialChannel channel;
  SteadyTickSource ticks;
  std::unique_ptr<FormA> form;
};

TEST_F(NightRun, AControllerKilledAndStartedAgainBehindTheSamePathIsReconnectedByItself) {
  Connect();
  // Just after a report, so that none is on its way when the device goes.
  WaitForRecords(1);
  sim.kill();
  ASSERT_TRUE(sim.waitForFinished(5000));
  ASSERT_TRUE(WaitUntil([&] { return form->Link.Lost(); }, 10000)) << "the hang-up was not noticed";
  EXPECT_FALSE(form->GrB_S_Holder->isEnabled());
  StartSimulator();
  WaitForLinkBack();
  EXPECT_TRUE(form->Panel_ErrorNotice->isHidden());
  const std::string trail = AuditTrail();
  const auto lost = trail.find("Link to the controller lost");
  ASSERT_NE(lost, std::string::npos) << trail;
  EXPECT_NE(trail.find("Link to the controller back on " + link.string(), lost), std::string::npos) << trail;
  ExpectNothingLost();
}

TEST_F(NightRun, AControllerStoppedAndContinuedIsNoticedAndGoesOnByItself) {
  Connect();
  WaitForRecords(1);
  const auto pid = static_cast<pid_t>(sim.processId());
  ASSERT_EQ(::kill(pid, SIGSTOP), 0);
  // Reports every second: silent after 3 x 1 + 5 = 8 s.
  ASSERT_TRUE(WaitUntil([&] { return form->Link.Lost(); }, 30000));
  EXPECT_NE(Notice().find("stopped answering"), std::string::npos) << Notice();
  EXPECT_TRUE(channel.Active());
  ASSERT_EQ(::kill(pid, SIGCONT), 0);
  WaitForLinkBack();
  EXPECT_NE(AuditTrail().find("the controller stopped answering"), std::string::npos);
  ExpectNothingLost();
}

TEST_F(NightRun, AJournalThatCannotWriteForAWhileEndsCompleteAndInOrder) {
  Connect();
  // A file-size limit makes every write into the journal's files fail, as a full disk does.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlim_t unlimited = limit.rlim_cur;
  limit.rlim_cur = 1;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  ASSERT_TRUE(WaitUntil([&] { return Notice().find("Cannot write the recording journal") != std::string::npos; },
                        10000));
  WaitForRecords(4);
  limit.rlim_cur = unlimited;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  ASSERT_TRUE(WaitUntil([&] { return Notice().find("complete again") != std::string::npos; }, 15000)) << Notice();
  const std::string trail = AuditTrail();
  const auto failed = trail.find("Journal cannot write");
  ASSERT_NE(failed, std::string::npos) << trail;
  EXPECT_NE(trail.find("Journal complete again", failed), std::string::npos) << trail;
  ExpectNothingLost();
}

}  // namespace
}  // namespace vireo::testing
