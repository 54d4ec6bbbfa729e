#pragma once
// Standard input and output of the command line, straight through the handles
// Windows gives the process: bytes pass as they are, with no line-end
// translation and no end at a Ctrl+Z byte.
#include <QString>

#include <string_view>

namespace beamlet::platform::win {

// Reads what standard input has, up to size bytes, waiting for at least one.
// Returns the count, 0 at the end of input, or -1 with the reason in error.
qsizetype readStandardInput(char* into, qsizetype size, QString& error);

// Writes every byte to standard output. False when that failed: error says why,
// or is empty when the reader has gone away (a closed pipe), which is no fault
// worth a word.
bool writeStandardOutput(std::string_view bytes, QString& error);

}  // namespace beamlet::platform::win
