#pragma once

#include <string>
#include <vector>

namespace inspect {

// Routes the library's log lines to the tool, which shows each with the problem that
// caused it instead of letting them reach standard error.
void captureLog();

// The lines logged since the last call, as "E/Bundle: message".
std::vector<std::string> takeLogLines();

}  // namespace inspect
