#include "shell/application.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/qt_port_lister.h"
#include "controller/qt_serial_channel.h"
#include "control/form_params.h"
#include "recording/file_journal.h"
#include "scripting/script_checker.h"
#include "shell/form_a.h"
#include "shell/hint_timing.h"
#include "shell/install_paths.h"
#include "shell/live_status.h"
#include "shell/qt_services.h"
#include "shell/qt_termination_signals.h"
#include "shell/run_log.h"
#include "shell/start_options.h"
#include "shell/window_status.h"
#include "spectrometer/form_s.h"
#include "spectrometer/melt_command.h"
#include "sim/controller_server.h"
#include "sim/spectrometer_server.h"
#include "status/event_notifier.h"
#include "status/status_server.h"
#include "vireo_version.h"

namespace vireo {
namespace {

// The commands that open no window: --check-script FILE (anywhere on the
// line) and --analyse-melt FILE... (first, with its own options). Their exit code; none for the program.
std::optional<int> RunHeadlessCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--check-script") {
      if (i + 1 < argc) return RunCheckScript(argv[i + 1]);
      std::fprintf(stderr, "vireo: --check-script needs a FILE\n");
      return 2;
    }
    if (arg.starts_with("--check-script=")) return RunCheckScript(std::string(arg.substr(15)));
  }
  if (argc >= 2 && std::string_view(argv[1]) == "--analyse-melt")
    return RunAnalyseMelt(std::vector<std::string>(argv + 2, argv + argc), stdout, stderr);
  return std::nullopt;
}

void SetUpApplication(QApplication& app) {
  // The desktop matches the windows to the menu entry (and its icon) by this name.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
  QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kApplicationId)));
  // QApplication adopts the user's locale; the controller protocol and the
  // data files need "." as the decimal point whatever the desktop language.
  std::setlocale(LC_NUMERIC, "C");
  app.setStyle(new HintStyle);
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  QApplication::setFont(font);
}

// --simulate: a controller and a spectrophotometer on pseudo-terminals; the
// spectrophotometer measures the simulated controller's sample.
class Simulators {
 public:
  // An exit code when they cannot start.
  std::optional<int> Start(const std::string& options, const std::string& spectrometerOptions) {
    sim::ControllerConfig config;
    std::string error;
    if (!sim::ParseControllerOptions(options, config, &error)) {
      std::fprintf(stderr, "vireo: --simulate: %s\n%s\n", error.c_str(), sim::ControllerOptionsHelp());
      return 2;
    }
    controller_ = std::make_unique<sim::ControllerServer>(config);
    if (!controller_->Start()) {
      std::fprintf(stderr, "vireo: cannot start the simulated controller: %s\n", controller_->LastError().c_str());
      return 1;
    }
    sim::SpectrometerConfig spectrometerConfig;
    sim::SampleRamp unused;  // the sample is the simulated controller's
    if (!sim::ParseSpectrometerOptions(spectrometerOptions, spectrometerConfig, unused, &error)) {
      std::fprintf(stderr, "vireo: --simulate-spectrometer: %s\n%s\n", error.c_str(), sim::SpectrometerOptionsHelp());
      return 2;
    }
    sim::ControllerServer* controller = controller_.get();
    spectrometerConfig.sampleTemperature = [controller] { return controller->SampleTemperature(); };
    spectrometer_ = std::make_unique<sim::SpectrometerServer>(spectrometerConfig);
    if (!spectrometer_->Start()) {
      std::fprintf(stderr, "vireo: cannot start the simulated spectrophotometer: %s\n",
                   spectrometer_->LastError().c_str());
      return 1;
    }
    return std::nullopt;
  }
  void Stop() {
    if (spectrometer_) spectrometer_->Stop();
    if (controller_) controller_->Stop();
  }
  std::vector<std::string> ControllerPorts() const {
    return controller_ ? std::vector<std::string>{controller_->DevicePath()} : std::vector<std::string>{};
  }
  std::vector<std::string> SpectrometerPorts() const {
    return spectrometer_ ? std::vector<std::string>{spectrometer_->DevicePath()} : std::vector<std::string>{};
  }

 private:
  std::unique_ptr<sim::ControllerServer> controller_;
  std::unique_ptr<sim::SpectrometerServer> spectrometer_;
};

// The main window's options from the command line; an exit code when --script
// names no readable file (found now rather than after the search and the configuration).
std::optional<int> MainWindowOptions(const StartOptions& start, const Simulators& simulators, FormOptions& options) {
  options.extraPorts = simulators.ControllerPorts();
  const QString programFolder = QCoreApplication::applicationDirPath();
  options.helpFile = FindInstalledFile(programFolder, QString::fromStdString(options.helpFile)).toStdString();
  options.startupScriptFolders = StartupScriptFolders(programFolder);
  if (!start.script.isEmpty()) {
    const QFileInfo script(start.script);
    if (!script.isFile() || !script.isReadable()) {
      std::fprintf(stderr, "vireo: --script: cannot read %s\n", start.script.toLocal8Bit().constData());
      return 2;
    }
    options.scriptFile = script.absoluteFilePath().toStdString();
  }
  if (!start.port.empty()) {
    options.extraPorts.push_back(start.port);
    options.automaticSearch = false;
  }
  return std::nullopt;
}

// What the options do with the windows once they exist: connections first.
void ActOnWindows(const StartOptions& start, FormA& form, TFormS& formS) {
  if (start.offline) {
    form.Btn_OfflineClick(form.Btn_Offline);
  } else if (!start.port.empty()) {
    form.Combo_COM->setCurrentText(QString::fromStdString(start.port));
    form.Btn_COMClick(form.Btn_COM);
  }
  if (!start.spectrometer.empty()) {
    form.M_SpectrometerClick(form.M_Spectrometer);
    formS.Combo_COM->setCurrentText(QString::fromStdString(start.spectrometer));
    formS.Btn_COMClick(formS.Btn_COM);
    // Offline the connect reaches the simulated instrument.
    if (start.recordReadings && (formS.SpectrometerPortOpen() || form.Recording.OfflineMode)) {
      formS.CkB_Sample->setChecked(true);
    }
  }
}

// --screenshot FILE and --quit-after SECONDS: the pictures are taken at the
// end, or after a second when the program runs on.
void ScheduleScreenshotsAndExit(const StartOptions& start, FormA& form, TFormS& formS) {
  const QString file = start.screenshot;
  const auto takeScreenshots = [file, &form, &formS] {
    form.grab().save(file);
    if (formS.isVisible()) {
      QString path = file;
      if (path.endsWith(QLatin1String(".png"))) path.chop(4);
      formS.grab().save(path + QStringLiteral("-spectrometer.png"));
    }
  };
  if (start.quitAfter >= 0) {
    QTimer::singleShot(static_cast<int>(start.quitAfter * 1000), &form, [file, takeScreenshots] {
      if (!file.isEmpty()) takeScreenshots();
      QApplication::exit(0);
    });
  } else if (!file.isEmpty()) {
    QTimer::singleShot(1000, &form, takeScreenshots);
  }
}

// --log FILE: the windows' texts at exit.
void WriteLogAtExit(const QString& path, FormA& form, TFormS& formS) {
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &form, [path, &form, &formS] {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return;
    QByteArray text = MainWindowLog(form);
    AppendLogSection(text, "spectrometer caption", formS.windowTitle());
    AppendLogSection(text, "spectrometer table", formS.Memo_Received->toPlainText());
    out.write(text);
  });
}

}  // namespace

int RunApplication(int argc, char** argv) {
  if (const std::optional<int> code = RunHeadlessCommand(argc, argv)) return *code;
  // Named before the options are read: the data folder's default is named after it.
  QCoreApplication::setApplicationName(QStringLiteral("Vireo"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
  StartOptions start;
  if (const std::optional<int> code = ParseStartOptions(argc, argv, start)) return *code;
  QApplication app(argc, argv);
  SetUpApplication(app);

  Simulators simulators;
  if (start.simulate) {
    if (const std::optional<int> code = simulators.Start(start.simulatorOptions, start.spectrometerSimulatorOptions)) return *code;
  }
  FormOptions options;
  if (const std::optional<int> code = MainWindowOptions(start, simulators, options)) return *code;

  ServeSettings serveSettings;
  if (const std::optional<int> code = ServeSettingsFromOptions(start, serveSettings)) return *code;
  // Before the journal, whose end at exit is the end of the run.
  EventNotifier events;
  if (!start.onEvent.isEmpty() && !events.SetCommand(start.onEvent)) {
    std::fprintf(stderr, "vireo: --on-event needs a COMMAND\n");
    return 2;
  }
  options.events = &events;

  QtSerialChannel channel;
  QtDialogs dialogs;
  SteadyTickSource ticks;
  QtBeeper beeper;
  QtPortLister ports;
  QtDesktop desktop;
  QtClipboard clipboard;
  // Declared before the window, so that it outlives it and its end marks the run as ended.
  FileJournal journal(QDir::cleanPath(start.dataDir).toStdString());
  options.journal = &journal;
  journal.onRun = [&events](bool started, const std::string& folder) {
    events.Raise(started ? ProgramEvent::RunStarted : ProgramEvent::RunEnded,
                 (started ? "Recording into " : "Run ended: ") + folder);
  };
  // The entry dialog becomes the main window's child (centred on it, freed with it).
  auto* params = new TForm_Params(dialogs);
  FormA form(FormServices{channel, dialogs, ticks, beeper, ports, desktop, clipboard, *params}, options);
  params->setParent(&form, params->windowFlags());
  dialogs.owner = &form;
  QtSerialChannel spectrometerChannel;
  TFormS formS(FormSServices{spectrometerChannel, dialogs, clipboard, ports},
               FormSContext{form.Controller, form.Recording, form.Renderer, &form, &journal,
                            simulators.SpectrometerPorts()});
  form.AttachSpectrometerWindow(formS);
  WindowStatus status(form, formS, &journal);
  StatusServer server(status, events);
  LiveStatus liveStatus(form, server, serveSettings);
  if (!start.serve.isEmpty() && !liveStatus.Start()) return 1;
  form.show();

  QtTerminationSignals termination;
  termination.Listen([&form](std::string_view name) { form.EndBySignal(name); });
  // The simulated spectrophotometer's pseudo-terminal gets a new name at every start.
  if (start.spectrometer == "simulated" && !simulators.SpectrometerPorts().empty()) {
    start.spectrometer = simulators.SpectrometerPorts().front();
  }
  ActOnWindows(start, form, formS);
  ScheduleScreenshotsAndExit(start, form, formS);
  if (!start.log.isEmpty()) WriteLogAtExit(start.log, form, formS);
  const int result = app.exec();
  simulators.Stop();
  return result;
}

}  // namespace vireo
