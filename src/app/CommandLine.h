#pragma once
// The command line: --help and --version, and the two ways to get chat codes
// without a window (--code, --emoticon). None of them needs a display.
#include <optional>

namespace beamlet::app {

// The exit status when the command line asked for something other than the
// windows, or nothing when the program is to start as usual.
std::optional<int> runCommandLine(int argc, char* argv[]);

}  // namespace beamlet::app
