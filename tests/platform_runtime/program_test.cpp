// Runs wirecube as a user would, through the headless display: what the
// runtime adds to a program (options, signals, pacing, the recording).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "program_run.h"

namespace {

TEST(Program, TerminationSignalsCloseItCleanly) {
    for (int signal : {SIGTERM, SIGINT}) {
        const std::string trace = TempPath("trace" + std::to_string(signal)), output = TempPath("output" + std::to_string(signal));
        std::remove(output.c_str());
        std::remove(trace.c_str());
        pid_t pid = Start(WIRECUBE_PROGRAM, {"--headless", "--events", "0:minimize", "--trace", trace}, output);
        // Minimised with nothing scripted ahead, it waits for the signal.
        bool waiting = false;
        for (int tries = 0; tries < 1000 && !waiting; ++tries) {
            waiting = ReadFile(trace).find("\nwait ") != std::string::npos;
            if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(waiting);
        kill(pid, signal);
        EXPECT_EQ(Finish(pid), 0) << ReadFile(output);
        const std::vector<std::string> lines = Lines(ReadFile(trace));
        EXPECT_EQ(Matching(lines, "signal"), std::vector<std::string>{"signal " + std::to_string(signal) + " 0"});
        EXPECT_EQ(lines.back(), "exit 0");
    }
}

TEST(Program, HelpListsTheOptionsAndBadOnesEndWithTwo) {
    const RunResult help = RunToEnd(WIRECUBE_PROGRAM, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--headless", "--realtime", "--frames", "--events", "--fail", "--still-drawing",
                               "--record", "--trace", "--window", "--integer-scale", "--version"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    const RunResult version = RunToEnd(WIRECUBE_PROGRAM, {"--version"});
    EXPECT_TRUE(version.exitCode == 0 && !version.output.empty());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"extra"}, {"--events", "10:explode"}, {"--fail", "Lock:0"}, {"--record"}}) {
        const RunResult result = RunToEnd(WIRECUBE_PROGRAM, args);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_NE(result.output.find("--help"), std::string::npos) << result.output;
    }
}

TEST(Program, RecordingThatCannotBeWrittenFailsTheRun) {
    const RunResult create = RunToEnd(WIRECUBE_PROGRAM, {"--headless", "--frames", "1", "--record", "/nonexistent/dir/out.gif"});
    EXPECT_EQ(create.exitCode, 2) << "refused with the command line";
    EXPECT_NE(create.output.find("cannot create /nonexistent/dir/out.gif"), std::string::npos) << create.output;
    const RunResult write = RunToEnd(WIRECUBE_PROGRAM, {"--headless", "--frames", "2", "--record", "/dev/full"});
    EXPECT_EQ(write.exitCode, 1);
    EXPECT_NE(write.output.find("cannot write /dev/full"), std::string::npos) << write.output;
}

// Each flip returns at a later refresh of a real 60 Hz display.
TEST(Program, RealtimeRunPacesByTheRealClock) {
    const std::string trace = TempPath("trace");
    const RunResult result = RunToEnd(WIRECUBE_PROGRAM, {"--headless", "--realtime", "--frames", "6", "--trace", trace});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> flips = Matching(Lines(ReadFile(trace)), "flip");
    ASSERT_EQ(flips.size(), 6u);
    for (size_t k = 0; k < flips.size(); ++k)
        EXPECT_GE(std::stoll(flips[k].substr(5)), static_cast<long long>(k + 1) * 166'667) << flips[k];
}

}  // namespace
