#include "shell/live_status.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "shell/clipboard.h"
#include "shell/form_a.h"
#include "shell/start_options.h"

namespace vireo {

std::optional<int> ServeSettingsFromOptions(const StartOptions& start, ServeSettings& settings) {
  if (!start.serve.isEmpty()) {
    const auto endpoint = ParseServeEndpoint(start.serve);
    if (!endpoint) {
      std::fprintf(stderr, "vireo: --serve takes PORT or ADDRESS:PORT, not %s\n", start.serve.toLocal8Bit().constData());
      return 2;
    }
    settings.address = endpoint->first;
    settings.port = endpoint->second;
  } else {
    // The dialog's server: a port people can remember, on loopback.
    settings.port = 8080;
  }
  for (const QString& name : start.serveHosts) settings.hostNames.push_back(name.toStdString());
  if (!start.serveTokenFile.isEmpty()) {
    QFile file(start.serveTokenFile);
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "vireo: --serve-token-file: cannot read %s\n",
                   start.serveTokenFile.toLocal8Bit().constData());
      return 2;
    }
    settings.token = QString::fromUtf8(file.readLine()).trimmed();
    if (settings.token.size() < 16) {
      std::fprintf(stderr, "vireo: --serve-token-file: the token must be at least 16 characters long\n");
      return 2;
    }
  } else if (!settings.address.isLoopback()) {
    settings.token = NewServeToken();
  }
  return std::nullopt;
}

LiveStatus::LiveStatus(FormA& form, StatusServer& server, ServeSettings settings)
    : QObject(&form), form_(form), server_(server), settings_(std::move(settings)) {
  M_File_LiveStatus = new QAction(QStringLiteral("&Live Status Page ..."), form.M_File);
  M_File_LiveStatus->setObjectName(QStringLiteral("M_File_LiveStatus"));
  // Beside "Open Data Folder", before the separator above Exit.
  const QList<QAction*> items = form.M_File->actions();
  const qsizetype at = items.indexOf(form.M_File_OpenDataFolder);
  form.M_File->insertAction(at >= 0 && at + 1 < items.size() ? items[at + 1] : form.M_File_Exit, M_File_LiveStatus);
  connect(M_File_LiveStatus, &QAction::triggered, this, &LiveStatus::M_File_LiveStatusClick);
}

bool LiveStatus::Start() {
  QString error;
  if (!server_.Start(settings_, &error)) {
    std::fprintf(stderr, "vireo: cannot serve the live status page on %s:%u: %s\n",
                 settings_.address.toString().toLocal8Bit().constData(), settings_.port,
                 error.toLocal8Bit().constData());
    return false;
  }
  std::printf("vireo: live status page at %s\n", server_.PageAddress().toLocal8Bit().constData());
  std::fflush(stdout);
  if (dialog_) ShowState();
  return true;
}

void LiveStatus::M_File_LiveStatusClick() {
  if (!dialog_) {
    dialog_ = new QDialog(&form_);
    dialog_->setWindowTitle(QStringLiteral("Live Status Page"));
    auto* layout = new QVBoxLayout(dialog_);
    L_State = new QLabel(dialog_);
    L_State->setWordWrap(true);
    layout->addWidget(L_State);
    auto* row = new QHBoxLayout;
    Edit_Address = new QLineEdit(dialog_);
    Edit_Address->setReadOnly(true);
    Edit_Address->setMinimumWidth(380);
    Btn_Copy = new QPushButton(QStringLiteral("Copy"), dialog_);
    row->addWidget(Edit_Address);
    row->addWidget(Btn_Copy);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    Btn_StartStop = new QPushButton(dialog_);
    auto* close = new QPushButton(QStringLiteral("Close"), dialog_);
    buttons->addStretch();
    buttons->addWidget(Btn_StartStop);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(Btn_Copy, &QPushButton::clicked, this, &LiveStatus::Btn_CopyClick);
    connect(Btn_StartStop, &QPushButton::clicked, this, &LiveStatus::Btn_StartStopClick);
    connect(close, &QPushButton::clicked, dialog_, &QDialog::accept);
  }
  ShowState();
  dialog_->show();
  dialog_->raise();
}

void LiveStatus::Btn_StartStopClick() {
  if (server_.Running()) {
    server_.Stop();
    ShowState();
    return;
  }
  if (Start()) return;
  // The remembered port is taken: any free one will do.
  settings_.port = 0;
  if (!Start()) L_State->setText(QStringLiteral("The live status page cannot be served (see the terminal)."));
}

void LiveStatus::Btn_CopyClick() { form_.Services().clipboard.SetText(Edit_Address->text().toStdString()); }

void LiveStatus::ShowState() {
  const bool running = server_.Running();
  QString state = running ? QStringLiteral("The live status page is served at this address. It shows the "
                                           "temperatures, the script, the run and the spectrometer, read-only.")
                          : QStringLiteral("The live status page is not served.");
  if (running && !server_.Settings().token.isEmpty()) {
    state += QStringLiteral(" Other computers can reach it: the address holds its token, which every request needs.");
  } else if (running) {
    state += QStringLiteral(" Only this computer can reach it (see the manual for SSH port forwarding).");
  }
  L_State->setText(state);
  Edit_Address->setText(running ? server_.PageAddress() : QString());
  Btn_Copy->setEnabled(running);
  Btn_StartStop->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
  // The explanation's length changes with the state.
  dialog_->adjustSize();
}

}  // namespace vireo
