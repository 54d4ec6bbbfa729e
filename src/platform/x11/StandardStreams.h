#pragma once
// Standard input and output of the command line, straight through the file
// descriptors: every byte goes out at once, so a failed write is seen here rather
// than lost in a buffer flushed at exit.
#include <QString>

#include <string_view>

namespace beamlet::platform::x11 {

// Reads what standard input has, up to size bytes, waiting for at least one.
// Returns the count, 0 at the end of input, or -1 with the reason in error.
qsizetype readStandardInput(char* into, qsizetype size, QString& error);

// Writes every byte to standard output. False when that failed: error says why,
// or is empty for EPIPE. A reader that closes early ends the program by SIGPIPE,
// quietly, as it ends any filter; only a caller that ignores SIGPIPE sees EPIPE,
// which is just as quiet.
bool writeStandardOutput(std::string_view bytes, QString& error);

}  // namespace beamlet::platform::x11
