#include "runtime/options.h"

#include <ddraw.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::HostEvent;
using platform::ParsedOptions;

ParsedOptions Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "program");
    return platform::ParseOptions(static_cast<int>(args.size()), args.data());
}

TEST(Options, EveryOptionInBothForms) {
    ParsedOptions parsed = Parse({"--headless", "--realtime", "--frames", "12", "--events=5:close", "--fail", "Lock",
                                  "--fail=Flip@2:E_FAIL", "--still-drawing", "3", "--record", "out.gif",
                                  "--trace=run.trace", "--digest", "run.digest", "--window", "--integer-scale"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << parsed.error;
    const platform::Options& options = parsed.options;
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.realtime);
    EXPECT_EQ(options.frames, 12u);
    ASSERT_EQ(options.events.size(), 1u);
    EXPECT_EQ(options.events[0].at, 50'000);
    EXPECT_EQ(options.events[0].event.kind, HostEvent::Kind::Close);
    ASSERT_EQ(options.failures.size(), 2u);
    EXPECT_EQ(options.failures[0].call, "Lock");
    EXPECT_EQ(options.failures[0].result, DDERR_GENERIC);
    EXPECT_EQ(options.failures[0].nth, 0u);
    EXPECT_EQ(options.failures[1].call, "Flip");
    EXPECT_EQ(options.failures[1].nth, 2u);
    EXPECT_EQ(options.stillDrawing, 3u);
    EXPECT_EQ(options.record, "out.gif");
    EXPECT_EQ(options.trace, "run.trace");
    EXPECT_EQ(options.digest, "run.digest");
    EXPECT_TRUE(options.window);
    EXPECT_TRUE(options.integerScale);
}

TEST(Options, NoOptionsRunWithDefaults) {
    ParsedOptions parsed = Parse({});
    EXPECT_EQ(parsed.outcome, ParsedOptions::Outcome::Run);
    EXPECT_FALSE(parsed.options.headless);
    EXPECT_FALSE(parsed.options.window);
    EXPECT_FALSE(parsed.options.integerScale);
    EXPECT_EQ(parsed.options.frames, 0u);
    EXPECT_TRUE(parsed.options.events.empty());
}

TEST(Options, HelpAndVersionStopTheRun) {
    EXPECT_EQ(Parse({"--headless", "--help"}).outcome, ParsedOptions::Outcome::Help);
    EXPECT_EQ(Parse({"--version"}).outcome, ParsedOptions::Outcome::Version);
}

TEST(Options, BadInputIsRefusedWithAReason) {
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
             {"--frames"},
             {"--frames", "0"},
             {"--frames", "-3"},
             {"--frames", "12x"},
             {"--frames", "99999999999"},
             {"--still-drawing", ""},
             {"--record", ""},
             {"--trace"},
             {"--digest="},
             {"--headless=yes"},
             {"--window=1"},
             {"-x"},
             {"--fails", "Lock"},
             {"stray"},
             {"--events", "10"},
             {"--events", "x:close"},
             {"--events", "-5:close"},
             {"--events", "10:close,"},
             {"--events", "10:explode"},
             {"--events", "99999999999999:close"},
             {"--fail", "Lock:E_WHATEVER"},
         }) {
        ParsedOptions parsed = Parse(args);
        EXPECT_EQ(parsed.outcome, ParsedOptions::Outcome::Error) << args[0];
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(Options, EventsComeInTimeOrderKeepingTheWrittenOrderForTies) {
    std::vector<platform::ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(platform::ParseEvents("2000:minimize,500:lose,2000:restore,0:regain,9:pointer", events, error)) << error;
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].event.kind, HostEvent::Kind::Regain);
    EXPECT_EQ(events[1].event.kind, HostEvent::Kind::Pointer);
    EXPECT_EQ(events[2].event.kind, HostEvent::Kind::Lose);
    EXPECT_EQ(events[2].at, 5'000'000);
    EXPECT_EQ(events[3].event.kind, HostEvent::Kind::Minimize);
    EXPECT_EQ(events[4].event.kind, HostEvent::Kind::Restore);
    EXPECT_EQ(events[4].name, "restore");
}

TEST(Options, KeysWithModifiers) {
    struct Case {
        const char* text;
        WORD key;
        BYTE modifiers;
    };
    for (Case c : {Case{"key=Escape", VK_ESCAPE, 0}, Case{"key=Alt+X", 'X', platform::kAlt},
                   Case{"key=alt+x", 'X', platform::kAlt},
                   Case{"key=Alt+Shift+Ctrl+F12", 0x7B, platform::kAlt | platform::kShift | platform::kControl},
                   Case{"key=Ctrl+7", '7', platform::kControl}, Case{"key=F1", 0x70, 0},
                   Case{"key=Enter", VK_RETURN, 0}, Case{"key=Space", VK_SPACE, 0}, Case{"key=Shift+q", 'Q', platform::kShift}}) {
        std::vector<platform::ScriptedEvent> events;
        std::string error;
        ASSERT_TRUE(platform::ParseEvents(std::string("1:") + c.text, events, error)) << c.text << ": " << error;
        EXPECT_EQ(events[0].event.kind, HostEvent::Kind::Key) << c.text;
        EXPECT_EQ(events[0].event.key, c.key) << c.text;
        EXPECT_EQ(events[0].event.modifiers, c.modifiers) << c.text;
    }
    for (const char* bad : {"1:key=", "1:key=Alt+", "1:key=Hyper+X", "1:key=F13", "1:key=F0", "1:key=Alt+Alt+X",
                            "1:key=XY", "1:key=+"}) {
        std::vector<platform::ScriptedEvent> events;
        std::string error;
        EXPECT_FALSE(platform::ParseEvents(bad, events, error)) << bad;
        EXPECT_TRUE(events.empty()) << bad;
    }
}

TEST(Options, FailureResultsByNameHexOrDecimal) {
    struct Case {
        const char* text;
        const char* call;
        HRESULT result;
        unsigned long nth;
    };
    for (Case c : {Case{"Lock:DDERR_SURFACELOST", "Lock", DDERR_SURFACELOST, 0},
                   Case{"Flip:0x887601C2", "Flip", DDERR_SURFACELOST, 0},
                   Case{"Blt:-2005532222", "Blt", DDERR_SURFACELOST, 0},
                   Case{"Blt:2289435074", "Blt", DDERR_SURFACELOST, 0},
                   Case{"DirectDrawCreate@1:E_OUTOFMEMORY", "DirectDrawCreate", E_OUTOFMEMORY, 1},
                   Case{"Restore@12", "Restore", DDERR_GENERIC, 12}}) {
        platform::FailureRule rule;
        std::string error;
        ASSERT_TRUE(platform::ParseFailure(c.text, rule, error)) << c.text << ": " << error;
        EXPECT_EQ(rule.call, c.call);
        EXPECT_EQ(rule.result, c.result) << c.text;
        EXPECT_EQ(rule.nth, c.nth) << c.text;
    }
    for (const char* bad : {"", ":E_FAIL", "Lock:", "Lock:0", "Lock@0", "Lock@", "Lock@x:E_FAIL", "1Lock", "Lo ck",
                            "Lock:0x1FFFFFFFF", "Lock:-2147483649", "Lock:dderr_surfacelost"}) {
        platform::FailureRule rule;
        std::string error;
        EXPECT_FALSE(platform::ParseFailure(bad, rule, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
