#pragma once
// The script checker: finds, before a run, what would make a script stop,
// end early or do something else than it says. It reads the text with the
// same routines as the engine (script_language.h).

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace vireo {

struct ScriptProblem {
  std::size_t line = 0;  // 1-based
  std::string message;   // one line
};

std::vector<ScriptProblem> CheckScript(std::string_view text);

// "FILE:LINE: message", the form editors and terminals understand.
std::string ProblemLine(std::string_view file, const ScriptProblem& problem);

// "vireo --check-script FILE": each problem as "FILE:LINE: message" on `out`.
// Returns 0 when there is none, 1 when there are problems, 2 when the file
// cannot be read (said on `err`).
int CheckScriptFile(const std::string& path, std::ostream& out, std::ostream& err);
int RunCheckScript(const std::string& path);  // on stdout and stderr

}  // namespace vireo
