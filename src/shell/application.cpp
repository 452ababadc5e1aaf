#include "shell/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>
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
#include "shell/run_log.h"
#include "shell/qt_services.h"
#include "spectrometer/form_s.h"
#include "spectrometer/melt_report.h"
#include "sim/controller_server.h"
#include "sim/spectrometer_server.h"

namespace vireo {
namespace {

struct StartOptions {
  bool simulate = false;
  std::string simulatorOptions;
  std::string port;
  std::string spectrometer;
  bool recordReadings = false;
  QString screenshot;
  QString log;
  QString dataDir;
  double quitAfter = -1;
  QString script;
};

void ParseOptions(const QApplication& app, StartOptions& out) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Vireo - temperature control application"));
  parser.addHelpOption();
  const QCommandLineOption simulate(QStringLiteral("simulate"),
                                    QStringLiteral("Serve a simulated controller on a pseudo-terminal and find it "
                                                   "like a real one. OPTIONS: ") +
                                        QString::fromLatin1(sim::ControllerOptionsHelp()),
                                    QStringLiteral("OPTIONS"));
  const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Connect to NAME (ttyUSB0, rfcomm0, a device path)."),
                                QStringLiteral("NAME"));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Save a picture of the main window to FILE (and of a shown "
                                                     "spectrometer window beside it, FILE with -spectrometer.png)."),
                                      QStringLiteral("FILE"));
  const QCommandLineOption quitAfter(QStringLiteral("quit-after"), QStringLiteral("End the program after SECONDS."),
                                     QStringLiteral("SECONDS"));
  const QCommandLineOption log(QStringLiteral("log"),
                               QStringLiteral("At exit, write the window title, the display log, the series and the "
                                              "spectrometer window's caption and table to FILE."),
                               QStringLiteral("FILE"));
  // Handled before the window system starts (RunApplication); listed for --help.
  const QCommandLineOption checkScript(QStringLiteral("check-script"),
                                       QStringLiteral("Check the script file FILE, print each problem as "
                                                      "FILE:LINE: message and exit (0 none, 1 problems, 2 unreadable)."),
                                       QStringLiteral("FILE"));
  const QCommandLineOption spectrometer(QStringLiteral("spectrometer"),
                                        QStringLiteral("Open the spectrometer window and connect to NAME."),
                                        QStringLiteral("NAME"));
  const QCommandLineOption recordReadings(QStringLiteral("record-readings"),
                                          QStringLiteral("With --spectrometer: tick \"Sample Holder\" once connected, "
                                                         "so that every sample temperature report takes a reading."));
  const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                   QStringLiteral("Keep the recording journal (runs/) in DIR instead of ") +
                                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                       QLatin1Char('.'),
                                   QStringLiteral("DIR"));
  const QCommandLineOption analyseMelt(QStringLiteral("analyse-melt"),
                                       QStringLiteral("Print the melting temperatures of the cells of a saved "
                                                      "spectrometer data FILE, without a window (first option only)."),
                                       QStringLiteral("FILE"));
  parser.addOptions({simulate, port, spectrometer, recordReadings, screenshot, quitAfter, log, dataDir, analyseMelt});
  parser.addOption(checkScript);
  const QCommandLineOption script(QStringLiteral("script"),
                                  QStringLiteral("Run the script file FILE in the place of the start-up script, "
                                                 "once the controller is configured."),
                                  QStringLiteral("FILE"));
  parser.addOption(script);
  // "--simulate" may stand alone or carry its options after "=".
  QStringList args = app.arguments();
  for (QString& a : args) {
    if (a == QLatin1String("--simulate")) a = QStringLiteral("--simulate=");
  }
  parser.process(args);
  out.simulate = parser.isSet(simulate);
  out.simulatorOptions = parser.value(simulate).toStdString();
  out.port = parser.value(port).toStdString();
  out.spectrometer = parser.value(spectrometer).toStdString();
  out.recordReadings = parser.isSet(recordReadings);
  out.screenshot = parser.value(screenshot);
  out.log = parser.value(log);
  out.dataDir = parser.isSet(dataDir) ? parser.value(dataDir)
                                      : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  out.script = parser.value(script);
  if (parser.isSet(quitAfter)) out.quitAfter = parser.value(quitAfter).toDouble();
}

}  // namespace

int RunApplication(int argc, char** argv) {
  // "--check-script FILE" checks a script file and opens no window.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--check-script") {
      if (i + 1 < argc) return RunCheckScript(argv[i + 1]);
      std::fprintf(stderr, "vireo: --check-script needs a FILE\n");
      return 2;
    }
    if (arg.starts_with("--check-script=")) return RunCheckScript(std::string(arg.substr(15)));
  }
  // The melting analysis of a data file runs headless, without a display.
  if (argc >= 2 && std::string_view(argv[1]) == "--analyse-melt") {
    if (argc == 3) return AnalyseMeltFile(argv[2], stdout, stderr);
    std::fputs("usage: vireo --analyse-melt FILE\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vireo"));
  // QApplication adopts the user's locale; the controller protocol and the
  // data files need "." as the decimal point whatever the desktop language.
  std::setlocale(LC_NUMERIC, "C");
  app.setStyle(new HintStyle);
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  QApplication::setFont(font);

  StartOptions start;
  ParseOptions(app, start);

  FormOptions options;
  std::unique_ptr<sim::ControllerServer> simulator;
  std::unique_ptr<sim::SpectrometerServer> spectrometerSimulator;
  std::vector<std::string> spectrometerPorts;
  if (start.simulate) {
    sim::ControllerConfig config;
    std::string error;
    if (!sim::ParseControllerOptions(start.simulatorOptions, config, &error)) {
      std::fprintf(stderr, "vireo: --simulate: %s\n%s\n", error.c_str(), sim::ControllerOptionsHelp());
      return 2;
    }
    simulator = std::make_unique<sim::ControllerServer>(config);
    if (!simulator->Start()) {
      std::fprintf(stderr, "vireo: cannot start the simulated controller: %s\n", simulator->LastError().c_str());
      return 1;
    }
    options.extraPorts.push_back(simulator->DevicePath());
    // The simulated spectrophotometer measures the simulated controller's sample.
    sim::SpectrometerConfig spectrometerConfig;
    sim::ControllerServer* controller = simulator.get();
    spectrometerConfig.sampleTemperature = [controller] { return controller->SampleTemperature(); };
    spectrometerSimulator = std::make_unique<sim::SpectrometerServer>(spectrometerConfig);
    if (!spectrometerSimulator->Start()) {
      std::fprintf(stderr, "vireo: cannot start the simulated spectrophotometer: %s\n",
                   spectrometerSimulator->LastError().c_str());
      return 1;
    }
    spectrometerPorts.push_back(spectrometerSimulator->DevicePath());
  }
  if (!start.script.isEmpty()) {
    // Found wrong now rather than after the search and the configuration.
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
  // The entry dialog becomes the main window's child (centred on it, freed with it).
  auto* params = new TForm_Params(dialogs);
  FormA form(FormServices{channel, dialogs, ticks, beeper, ports, desktop, clipboard, *params}, options);
  params->setParent(&form, params->windowFlags());
  dialogs.owner = &form;
  QtSerialChannel spectrometerChannel;
  TFormS formS(FormSServices{spectrometerChannel, dialogs, clipboard, ports},
               FormSContext{form.Controller, form.Recording, form.Renderer, &form, &journal, spectrometerPorts});
  form.AttachSpectrometerWindow(formS);
  form.show();

  if (!start.port.empty()) {
    form.Combo_COM->setCurrentText(QString::fromStdString(start.port));
    form.Btn_COMClick(form.Btn_COM);
  }
  if (!start.spectrometer.empty()) {
    form.M_SpectrometerClick(form.M_Spectrometer);
    formS.Combo_COM->setCurrentText(QString::fromStdString(start.spectrometer));
    formS.Btn_COMClick(formS.Btn_COM);
    if (start.recordReadings && formS.SpectrometerPortOpen()) formS.CkB_Sample->setChecked(true);
  }
  const auto takeScreenshots = [&] {
    form.grab().save(start.screenshot);
    if (formS.isVisible()) {
      QString path = start.screenshot;
      if (path.endsWith(QLatin1String(".png"))) path.chop(4);
      formS.grab().save(path + QStringLiteral("-spectrometer.png"));
    }
  };
  if (start.quitAfter >= 0) {
    QTimer::singleShot(static_cast<int>(start.quitAfter * 1000), &form, [&] {
      if (!start.screenshot.isEmpty()) takeScreenshots();
      QApplication::exit(0);
    });
  } else if (!start.screenshot.isEmpty()) {
    QTimer::singleShot(1000, &form, takeScreenshots);
  }
  if (!start.log.isEmpty()) {
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&] {
      QFile out(start.log);
      if (!out.open(QIODevice::WriteOnly)) return;
      QByteArray text = MainWindowLog(form);
      AppendLogSection(text, "spectrometer caption", formS.windowTitle());
      AppendLogSection(text, "spectrometer table", formS.Memo_Received->toPlainText());
      out.write(text);
    });
  }
  const int result = app.exec();
  if (spectrometerSimulator) spectrometerSimulator->Stop();
  if (simulator) simulator->Stop();
  return result;
}

}  // namespace vireo
