#pragma once
// Where the program finds what is installed with it. Run from the build
// folder, everything lies beside the executable; installed, the manual lies
// in the data folder (share/vireo beside bin/) and a user, who cannot write
// to /usr/bin, keeps the start-up script in ~/.config/Vireo/.

#include <QString>
#include <string>
#include <vector>

namespace vireo {

// The manual `name`: beside the program in `programFolder`, else in the
// installed data folder; beside the program when it is in neither (Help then
// reports it missing there).
QString FindInstalledFile(const QString& programFolder, const QString& name);

// The folders the start-up script is looked for in, in this order: the
// program's own, then the user's configuration folder for Vireo.
std::vector<std::string> StartupScriptFolders(const QString& programFolder);

}  // namespace vireo
