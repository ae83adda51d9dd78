// The console's short help: the commands of the grammar, one line each.
#pragma once

#include <string>
#include <vector>

namespace tovarin::emulator::console {

std::vector<std::string> HelpLines();

}  // namespace tovarin::emulator::console
