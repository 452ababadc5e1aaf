// The main window's side of the recording journal: File > "Open Data
// Folder", the message about a run left open, and the error strip notice when
// the journal cannot write. The records and display-log lines reach the
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
  if (!failure) return;
  L_ErrorNotice->setText(QStringLiteral("Cannot write the recording journal (%1). The series are still "
                                        "recorded here: save them with Data > Save.")
                             .arg(QString::fromStdString(*failure)));
  Panel_ErrorNotice->show();
  AlignPanels();
  RaiseEvent(ProgramEvent::JournalCannotWrite, "Cannot write the recording journal: " + *failure);
}

}  // namespace vireo
