// The entry point of every program: the platform's options, then WinMain.
#include "session.h"

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "program";
    platform::ParsedOptions parsed = platform::ParseOptions(argc, argv);
    // Nothing is created or truncated before the whole command line is known to be good.
    if (parsed.outcome == platform::ParsedOptions::Outcome::Run &&
        !platform::CheckOutputFiles(parsed.options, parsed.error))
        parsed.outcome = platform::ParsedOptions::Outcome::Error;
    switch (parsed.outcome) {
    case platform::ParsedOptions::Outcome::Help:
        std::fputs(platform::HelpText(program).c_str(), stdout);
        return 0;
    case platform::ParsedOptions::Outcome::Version:
        std::printf("%s %s\n", program, PLATFORM_VERSION);
        return 0;
    case platform::ParsedOptions::Outcome::Error:
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, parsed.error.c_str(), program);
        return 2;
    case platform::ParsedOptions::Outcome::Run:
        break;
    }
    std::string error;
    if (!platform::StartSession(parsed.options, error)) {
        std::fprintf(stderr, "%s: %s\n", program, error.c_str());
        return 1;
    }
    platform::CatchTerminationSignals();
    char noCommandLine[] = "";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, noCommandLine, SW_SHOWDEFAULT);
    exitCode = platform::FinishSession(exitCode, error);
    if (!error.empty()) std::fprintf(stderr, "%s: %s\n", program, error.c_str());
    return exitCode;
}
