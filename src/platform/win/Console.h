#pragma once
// The command line on Windows. A windowed program has no console, and cmd.exe and
// PowerShell neither wait for one nor show what it writes; so the command line
// runs in a console companion, beamlet.com beside beamlet.exe, which both shells
// prefer when "beamlet" is typed (.COM comes before .EXE in PATHEXT). With
// nothing to do on the command line it starts beamlet.exe with the same
// arguments and ends. The Start menu starts beamlet.exe: no console flashes up.
#include <string>
#include <vector>

namespace beamlet::platform::win {

// The process's arguments in UTF-8, read from its UTF-16 command line rather than
// from the ANSI code page. A lone surrogate (no character at all) is kept as its
// WTF-8 bytes, which no UTF-8 decoder accepts, so it is refused as on Linux.
class Arguments {
public:
    Arguments(int argc, char* argv[]);
    int count() const { return int(pointers_.size()) - 1; }
    char** values() { return pointers_.data(); }

private:
    std::vector<std::string> values_;
    std::vector<char*> pointers_;
};

// Standard error as bytes too, as standard output and input are: the same
// messages, byte for byte, as on Linux.
void useBinaryStandardError();

// Starts the windowed program beside this console companion with this process's
// arguments and does not wait for it. False, after a word on standard error,
// when it cannot be started.
bool startWindowedProgram();

}  // namespace beamlet::platform::win
