#include "shell/start_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QStringList>

#include "sim/controller_server.h"
#include "sim/spectrometer_options.h"

namespace vireo {

StartOptions ParseStartOptions(const QCoreApplication& app) {
  StartOptions out;
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Vireo - temperature control application"));
  parser.addHelpOption();
  const QCommandLineOption simulate(QStringLiteral("simulate"),
                                    QStringLiteral("Serve a simulated controller on a pseudo-terminal and find it "
                                                   "like a real one. OPTIONS: ") +
                                        QString::fromLatin1(sim::ControllerOptionsHelp()),
                                    QStringLiteral("OPTIONS"));
  const QCommandLineOption simulateSpectrometer(
      QStringLiteral("simulate-spectrometer"),
      QStringLiteral("With --simulate: how the simulated spectrophotometer behaves. OPTIONS: ") +
          QString::fromLatin1(sim::SpectrometerOptionsHelp()),
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
  const QCommandLineOption offline(QStringLiteral("offline"),
                                   QStringLiteral("Start working offline, as if \"Work Offline\" had been clicked."));
  const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                   QStringLiteral("Keep the recording journal (runs/) in DIR instead of ") +
                                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                       QLatin1Char('.'),
                                   QStringLiteral("DIR"));
  const QCommandLineOption analyseMelt(QStringLiteral("analyse-melt"),
                                       QStringLiteral("Print the melting analysis of saved spectrometer data "
                                                      "files, without a window (first option; then FILE... "
                                                      "[--model unimolecular|heteroduplex|homoduplex] "
                                                      "[--ct MICROMOLAR,...] [--range LOW:HIGH] [--units kJ|kcal])."),
                                       QStringLiteral("FILE"));
  parser.addOptions(
      {simulate, offline, port, spectrometer, recordReadings, screenshot, quitAfter, log, dataDir, analyseMelt});
  parser.addOption(checkScript);
  const QCommandLineOption script(QStringLiteral("script"),
                                  QStringLiteral("Run the script file FILE in the place of the start-up script, "
                                                 "once the controller is configured."),
                                  QStringLiteral("FILE"));
  parser.addOption(script);
  parser.addOption(simulateSpectrometer);
  const QCommandLineOption serve(QStringLiteral("serve"),
                                 QStringLiteral("Serve the live status page, its data and metrics on [ADDRESS:]PORT "
                                                "(loopback when no address is given; 0 picks a free port)."),
                                 QStringLiteral("[ADDRESS:]PORT"));
  const QCommandLineOption serveTokenFile(QStringLiteral("serve-token-file"),
                                          QStringLiteral("Read the status server's token from the first line of FILE "
                                                         "instead of making a new one."),
                                          QStringLiteral("FILE"));
  const QCommandLineOption serveHost(QStringLiteral("serve-host"),
                                     QStringLiteral("Accept NAME in the Host header of status requests (repeatable)."),
                                     QStringLiteral("NAME"));
  const QCommandLineOption onEvent(QStringLiteral("on-event"),
                                   QStringLiteral("Run COMMAND, with the event's name and text as two more "
                                                  "arguments, for each event (run started or ended, script finished, "
                                                  "operator message, link lost, ...). Never through a shell."),
                                   QStringLiteral("COMMAND"));
  parser.addOptions({serve, serveTokenFile, serveHost, onEvent});
  // "--simulate" may stand alone or carry its options after "=".
  QStringList args = app.arguments();
  for (QString& a : args) {
    if (a == QLatin1String("--simulate")) a = QStringLiteral("--simulate=");
  }
  parser.process(args);
  out.simulate = parser.isSet(simulate);
  out.offline = parser.isSet(offline);
  out.simulatorOptions = parser.value(simulate).toStdString();
  out.spectrometerSimulatorOptions = parser.value(simulateSpectrometer).toStdString();
  out.port = parser.value(port).toStdString();
  out.spectrometer = parser.value(spectrometer).toStdString();
  out.recordReadings = parser.isSet(recordReadings);
  out.screenshot = parser.value(screenshot);
  out.log = parser.value(log);
  out.dataDir = parser.isSet(dataDir) ? parser.value(dataDir)
                                      : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  out.script = parser.value(script);
  out.serve = parser.value(serve);
  out.serveTokenFile = parser.value(serveTokenFile);
  out.serveHosts = parser.values(serveHost);
  out.onEvent = parser.value(onEvent);
  if (parser.isSet(quitAfter)) out.quitAfter = parser.value(quitAfter).toDouble();
  return out;
}

}  // namespace vireo
