// The main window's side of the recording journal: File > "Open Data
// Folder", the message about a run left open, and the journal's failures:
// the strip says when it cannot write and when it is complete again. The records and display-log lines reach the
// journal from AppendRecord and AppendToDisplayLog; the run ends at Clear
// All, Restart and the close of the window.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "recording/journal.h"
#include "recording/journal_format.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

// The journal tries again every 3 seconds (LED ticks of 200 ms).
constexpr std::int32_t kJournalRetryTicks = 15;

}  // namespace

Journal& FormA::JournalInUse() const {
  static NoJournal none;
  return options_.journal ? *options_.journal : none;
}

void FormA::M_File_OpenDataFolderClick(QObject* sender) {
  if (!sender) return;
  Journal& journal = JournalInUse();
  const std::string folder = journal.DataFolder();
  if (folder.empty()) return;
  if (!journal.MakeDataFolder() || !services_.desktop.OpenDocument(folder)) {
    services_.dialogs.Message("Cannot open the data folder " + folder + ".", "Vireo", Buttons::Ok);
  }
}

void FormA::ReportUnendedRun() {
  const std::string folder = JournalInUse().UnendedRun();
  if (folder.empty()) return;
  if (services_.dialogs.Message(UnendedRunMessage(folder), "Vireo", Buttons::OpenFolderOk) == Answer::OpenFolder) {
    services_.desktop.OpenDocument(folder);
  }
}

void FormA::ShowJournalFailure() {
  const std::optional<std::string> failure = JournalInUse().TakeFailure();
  if (failure) JournalWriteFailed(*failure);
}

void FormA::JournalWriteFailed(const std::string& why) {
  journalFailing_ = true;
  journalRetryTicks_ = 0;
  // This line waits with the others and reaches the audit trail with the
  // time it was logged, once the journal can write again.
  AppendToDisplayLog(-1, "-------Journal cannot write: " + why);
  // The lost link's notice and its Reconnect stay in view; the link coming
  // back tells of the journal still failing.
  if (!Link.Lost()) {
    ShowNotice(QStringLiteral("Cannot write the recording journal (%1). Trying again every %2 seconds; "
                              "the series are still recorded here.")
                   .arg(QString::fromStdString(why))
                   .arg(kJournalRetryTicks / 5),
               false);
  }
  RaiseEvent(ProgramEvent::JournalCannotWrite, "Cannot write the recording journal: " + why);
}

void FormA::JournalCompleteAgain() {
  journalFailing_ = false;
  AppendToDisplayLog(-1, "-------Journal complete again");
  // The lost link's notice stays the one in view until the link is back.
  if (Link.Lost()) return;
  ShowNotice(QStringLiteral("The recording journal is complete again: it holds everything recorded."), false);
}

void FormA::RetryJournalTick() {
  if (!journalFailing_ || ++journalRetryTicks_ < kJournalRetryTicks) return;
  journalRetryTicks_ = 0;
  if (JournalInUse().Retry()) JournalCompleteAgain();
}

}  // namespace vireo
