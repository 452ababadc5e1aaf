#pragma once
// The program's own command-line options (the system itself reads none):
// simulators, a port to connect to, a script, pictures and logs for tests,
// the journal's folder. --check-script and --analyse-melt run before the
// window system starts (RunApplication) and are only listed here for --help.

#include <QString>
#include <QStringList>
#include <string>

class QCoreApplication;

namespace vireo {

struct StartOptions {
  bool simulate = false;
  bool offline = false;
  std::string simulatorOptions;
  std::string spectrometerSimulatorOptions;  // of the spectrophotometer --simulate serves
  std::string port;
  std::string spectrometer;
  bool recordReadings = false;
  QString screenshot;
  QString log;
  QString dataDir;  // the application data location unless --data-dir is given
  double quitAfter = -1;  // seconds; below 0: the program runs until closed
  QString script;
  // The live status server and event notifications (see status/).
  QString serve;           // [ADDRESS:]PORT; empty: no server
  QString serveTokenFile;  // the token's file; empty: a new token when one is needed
  QStringList serveHosts;  // host names accepted besides addresses and localhost
  QString onEvent;         // the command run for each event; empty: none
};

// Reads the command line of `app`; --help and unknown options end
// the program with Qt's message.
StartOptions ParseStartOptions(const QCoreApplication& app);

}  // namespace vireo
