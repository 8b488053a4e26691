// Runs a program as a user would, through the headless display: what the
// runtime adds to it (options, signals, the trace, pacing, the recording).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "program_run.h"

namespace {

RunResult RunProgram(const std::vector<std::string>& args, const char* program = WIRECUBE_PROGRAM) {
    return RunToEnd(program, args);
}

// The trace of a headless run with the scripted events, which must end well.
std::vector<std::string> TraceOfRun(const std::string& events, const char* program) {
    std::string trace = TempPath("trace");
    RunResult result = RunProgram({"--headless", "--events", events, "--trace", trace}, program);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::vector<std::string> lines = Lines(ReadFile(trace));
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
        EXPECT_EQ(lines.back(), "exit 0");
    }
    return lines;
}

TEST(Program, TerminationSignalsCloseItCleanly) {
    for (int signal : {SIGTERM, SIGINT}) {
        std::string trace = TempPath("trace" + std::to_string(signal));
        std::string output = TempPath("output" + std::to_string(signal));
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
        std::vector<std::string> lines = Lines(ReadFile(trace));
        EXPECT_EQ(Matching(lines, "signal"), std::vector<std::string>{"signal " + std::to_string(signal) + " 0"});
        EXPECT_EQ(lines.back(), "exit 0");
    }
}

TEST(Program, BadOptionsAreRefusedWithExitCodeTwo) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--frames", "0"}, {"--bogus"}, {"extra"}, {"--events", "10:explode"}, {"--fail", "Lock:0"}, {"--record"}}) {
        RunResult result = RunProgram(args);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_NE(result.output.find("--help"), std::string::npos) << result.output;
    }
}

TEST(Program, HelpListsTheOptions) {
    RunResult result = RunProgram({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option : {"--headless", "--realtime", "--frames", "--events", "--fail", "--still-drawing",
                               "--record", "--trace", "--window", "--integer-scale", "--version"})
        EXPECT_NE(result.output.find(option), std::string::npos) << option;
    RunResult version = RunProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_FALSE(version.output.empty());
}

TEST(Program, RecordingThatCannotBeWrittenFailsTheRun) {
    RunResult create = RunProgram({"--headless", "--frames", "1", "--record", "/nonexistent/dir/out.gif"});
    EXPECT_EQ(create.exitCode, 2) << "refused with the command line";
    EXPECT_NE(create.output.find("cannot create /nonexistent/dir/out.gif"), std::string::npos) << create.output;
    RunResult write = RunProgram({"--headless", "--frames", "2", "--record", "/dev/full"});
    EXPECT_EQ(write.exitCode, 1);
    EXPECT_NE(write.output.find("cannot write /dev/full"), std::string::npos) << write.output;
}

TEST(Program, RealtimeRunPacesByTheRealClock) {
    std::string trace = TempPath("trace");
    RunResult result = RunProgram({"--headless", "--realtime", "--frames", "6", "--trace", trace});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::vector<std::string> flips = Matching(Lines(ReadFile(trace)), "flip");
    ASSERT_EQ(flips.size(), 6u);
    // Each flip returns at a later refresh of a real 60 Hz display.
    for (size_t k = 0; k < flips.size(); ++k)
        EXPECT_GE(std::stoll(flips[k].substr(5)), static_cast<long long>(k + 1) * 166'667) << flips[k];
}

// The programs take the display through DirectDraw in exclusive full-screen
// mode, so that minimising them takes it away.
class FullScreenProgram : public ::testing::TestWithParam<const char*> {};

TEST_P(FullScreenProgram, MinimisedItStopsFlippingAndWaitsOnceUntilRestored) {
    std::vector<std::string> lines = TraceOfRun("500:minimize,1000:restore,1500:key=Escape", GetParam());
    // The thirtieth refresh is the first at or after 500 ms.
    EXPECT_EQ(Between(lines, "event minimize 5000010", "event restore 10000000"),
              (std::vector<std::string>{"away 5000010", "wait 5000010"}));
    EXPECT_EQ(Between(lines, "event restore 10000000", "flip 10166667"), std::vector<std::string>{"back 10000000"});
    EXPECT_EQ(Matching(lines, "wait").size(), 1u);
}

TEST_P(FullScreenProgram, WithTheDisplayLostItMissesRefreshesUntilRegained) {
    std::vector<std::string> lines = TraceOfRun("500:lose,1000:regain,1500:key=Escape", GetParam());
    std::vector<std::string> lost = Between(lines, "away 5000010", "event regain 10000020");
    EXPECT_EQ(lost.size(), 30u);
    EXPECT_EQ(Matching(lost, "miss").size(), lost.size());
    EXPECT_EQ(lines[IndexOf(lines, "event regain 10000020") + 1], "back 10000020");
    EXPECT_TRUE(Matching(lines, "wait").empty());
    EXPECT_FALSE(Matching(lines, "flip").empty());
}

INSTANTIATE_TEST_SUITE_P(Programs, FullScreenProgram, ::testing::Values(WIRECUBE_PROGRAM, DICE_PROGRAM),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "wirecube" : "dice");
                         });

}  // namespace
