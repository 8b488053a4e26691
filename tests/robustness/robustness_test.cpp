// The programs as a careless user or a hostile caller runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>
#include "program_run.h"
namespace {
using Args = std::vector<std::string>;
Args Joined(Args args, const Args& more) { return args.insert(args.end(), more.begin(), more.end()), args; }
void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }
// A child that may hang: one still running after the time is killed, which fails the test.
int FinishWithin(pid_t pid, int seconds) {
    siginfo_t info{};
    for (int tick = 0; tick < seconds * 100 && info.si_pid == 0; ++tick)
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT), info.si_pid == 0) Pause();
    if (info.si_pid == 0) kill(pid, SIGKILL);
    return Finish(pid);
}
// Until then a signal would end the child before it could listen.
void AwaitTerminationHandler(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    for (int tick = 0; tick < 1000; ++tick, Pause()) {
        const std::string status = ReadFile(path);
        const size_t caught = status.find("SigCgt:");
        if (caught != status.npos && (std::stoull(status.substr(caught + 7), nullptr, 16) >> (SIGTERM - 1)) & 1) return;
    }
    ADD_FAILURE() << "no handler for SIGTERM";
}
// Every frame whose steps all fail still takes a refresh, so the clock reaches --frames and the scripted events.
TEST(Robustness, RunsWhoseFramesAllFailEnd) {
    const std::pair<Args, const char*> cases[] = {
        {{"--fail", "Blt", "--frames", "10"}, "event key=Escape 1666670"},
        {{"--fail", "Flip:DDERR_SURFACELOST", "--frames", "10"}, "event key=Escape 1666670"},
        {{"--fail", "Restore", "--events", "100:lose,200:regain", "--frames", "30"}, "event key=Escape 6000012"},
        {{"--fail", "Blt", "--events", "1000:key=Escape"}, "event key=Escape 10000020"}};
    for (const auto& [extra, escape] : cases) {
        const std::string trace = TempPath("trace");
        EXPECT_EQ(FinishWithin(Start(DICE_PROGRAM, Joined({"--headless", "--trace", trace}, extra), TempPath("output")), 20), 0)
            << extra[1];
        EXPECT_EQ(Matching(Lines(ReadFile(trace)), "event key=Escape"), Args{escape}) << extra[1];
    }
}
// However often SIGTERM, SIGINT or SIGHUP come, whatever the program waits on (frames, a busy surface,
// minimised with nothing scripted), it closes as the close button would, its recording whole and every frame in it.
TEST(Robustness, RepeatedSignalsCloseTheProgramWithItsRecording) {
    for (const Args& waiting : {Args{}, Args{"--still-drawing", "4294967295"}, Args{"--fail", "Lock:DDERR_WASSTILLDRAWING"},
                                Args{"--events", "0:minimize"}})
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            const std::string gif = TempPath("signal.gif"), trace = TempPath("signal.trace");
            const pid_t pid = Start(WIRECUBE_PROGRAM, Joined({"--headless", "--record", gif, "--trace", trace}, waiting),
                                    TempPath("output"));
            ASSERT_GT(pid, 0);
            AwaitTerminationHandler(pid);
            // Time to settle into the wait, then for the first signal to arrive lest the two merge.
            for (int sent = 0; sent < 2; ++sent) std::this_thread::sleep_for(std::chrono::milliseconds(100)), kill(pid, signal);
            ASSERT_EQ(FinishWithin(pid, 20), 0) << signal << " " << (waiting.empty() ? "" : waiting[1]);
            const std::vector<std::string> lines = Lines(ReadFile(trace));
            EXPECT_TRUE(!Matching(lines, "signal").empty() && Matching(lines, "exit") == Args{"exit 0"});
            // Decoding fails the test unless the file is a whole GIF.
            EXPECT_EQ(Decode(gif).frames.size(), Matching(lines, "flip").size()) << "every frame shown is recorded";
        }
}
TEST(Robustness, WriteErrorsFailTheRunWithTheProgramsName) {
    for (const char* option : {"--trace", "--record"}) {
        const RunResult run = RunToEnd(WIRECUBE_PROGRAM, {"--headless", "--frames", "2", option, "/dev/full"});
        EXPECT_EQ(run.output, std::string(WIRECUBE_PROGRAM) + ": cannot write /dev/full: No space left on device\n");
        EXPECT_EQ(run.exitCode, 1) << option;
    }
}
// One line names the problem, one points to --help; no file is created or truncated. --help lists the options.
TEST(Robustness, BadCommandLinesAreRefusedBeforeAnyFileIsTouched) {
    const std::string kept = TempPath("kept"), absent = TempPath("absent"), trace = TempPath("t.txt");
    const std::string absentAgain = ::testing::TempDir() + "./" + absent.substr(::testing::TempDir().size());
    std::ofstream(kept) << "kept";
    const std::pair<Args, std::string> cases[] = {
        {{"--fail", "NoSuchCall", "--trace", trace}, "no call 'NoSuchCall' can be made to fail"},
        {{"--fail", "DirectDrawCreate:1", "--trace", trace}, "result 1 in 'DirectDrawCreate:1' "},
        {{"--record", kept, "--trace", kept}, "are the same file"},
        {{"--record", absent, "--trace", absentAgain}, "are the same file"},
        {{"--trace", trace, "--digest", trace}, "are the same file"},
        {{"--trace", trace, "--record", "/nonexistent/x.gif"}, "cannot create /nonexistent/x.gif: No such file or directory"},
        {{"--bogus", "--trace", trace}, "--bogus"}};
    for (const auto& [extra, problem] : cases) {
        std::remove(trace.c_str()), std::remove(absent.c_str());
        const RunResult run = RunToEnd(TINY_PROGRAM, Joined({"--headless", "--frames", "1"}, extra));
        EXPECT_TRUE(run.exitCode == 2 && Lines(run.output).size() == 2u && run.output.find(problem) != run.output.npos &&
                    run.output.find("--help") != run.output.npos) << problem << ": " << run.output;
        EXPECT_TRUE(!std::ifstream(trace) && !std::ifstream(absent) && ReadFile(kept) == "kept") << problem;
    }
    const RunResult help = RunToEnd(WIRECUBE_PROGRAM, {"--help"}), version = RunToEnd(WIRECUBE_PROGRAM, {"--version"});
    EXPECT_TRUE(help.exitCode == 0 && version.exitCode == 0 && !version.output.empty());
    for (const char* option : {"--headless", "--realtime", "--frames", "--events", "--fail", "--still-drawing", "--record",
                               "--digest", "--trace", "--window", "--integer-scale", "--version"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
}
// Each flip returns at a later refresh of a real 60 Hz display.
TEST(Robustness, RealtimeRunPacesByTheRealClock) {
    const std::string trace = TempPath("trace");
    const RunResult run = RunToEnd(WIRECUBE_PROGRAM, {"--headless", "--realtime", "--frames", "6", "--trace", trace});
    const std::vector<std::string> flips = Matching(Lines(ReadFile(trace)), "flip");
    ASSERT_TRUE(run.exitCode == 0 && flips.size() == 6u) << run.output;
    for (size_t k = 0; k < flips.size(); ++k)
        EXPECT_GE(std::stoll(flips[k].substr(5)), static_cast<long long>(k + 1) * 166'667) << flips[k];
}
}  // namespace
