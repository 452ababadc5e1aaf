#pragma once
// The log written at exit for --log FILE: the end-to-end tests' window onto
// the program. Sections follow each other, each introduced by a line
// beginning "== " with its name; its lines follow, with LF line ends.

#include <QByteArray>
#include <QString>

namespace vireo {

class FormA;

// Appends the section `name` holding `text` (CR LF or LF lines) to `log`.
void AppendLogSection(QByteArray& log, const char* name, const QString& text);

// The main window's sections: "== title", "== display log", and
// "== series 1" to "== series 5" (the text of each series memo).
QByteArray MainWindowLog(const FormA& form);

}  // namespace vireo
