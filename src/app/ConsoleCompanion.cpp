// beamlet.com, the console companion of beamlet.exe on Windows: the command line
// with its output, errors and exit status in the caller's console; any other start
// goes on to the windowed program (platform/win/Console.h says why two files).
#include "app/CommandLine.h"
#include "platform/win/Console.h"

int main(int argc, char* argv[])
{
    using namespace beamlet;
    platform::win::useBinaryStandardError();
    platform::win::Arguments arguments(argc, argv);
    if (const std::optional<int> status = app::runCommandLine(arguments.count(), arguments.values()))
        return *status;
    return platform::win::startWindowedProgram() ? 0 : 1;
}
