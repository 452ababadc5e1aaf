#pragma once
// The program's own command-line options (the system itself reads none):
// simulators, a port to connect to, a script, pictures and logs for tests,
// the journal's folder. --check-script and --analyse-melt run before the
// window system starts (RunApplication) and are only listed here for --help.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

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

// Reads the command line into `out` before any window system is touched, so
// that it also answers over SSH and in scripts. An exit code when the program
// ends here: 0 after printing --help or --version, 2 after a one-line error
// (an unknown option, a missing value). The window system's own options
// (-platform, -style, ...) are let through for QApplication.
std::optional<int> ParseStartOptions(int argc, char** argv, StartOptions& out);

}  // namespace vireo
