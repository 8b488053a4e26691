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

TEST(Options, EveryOptionInBothFormsAndDefaultsWithout) {
    ParsedOptions parsed = Parse({"--headless", "--realtime", "--frames", "12", "--events=5:close", "--fail", "Lock",
                                  "--fail=Flip@2:E_FAIL", "--still-drawing", "3", "--record", "out.gif",
                                  "--trace=run.trace", "--digest", "run.digest", "--window", "--integer-scale"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << parsed.error;
    const platform::Options& o = parsed.options;
    EXPECT_TRUE(o.headless && o.realtime && o.window && o.integerScale);
    EXPECT_EQ(o.frames, 12u);
    ASSERT_EQ(o.events.size(), 1u);
    EXPECT_EQ(o.events[0].at, 50'000);
    EXPECT_EQ(o.events[0].event.kind, HostEvent::Kind::Close);
    ASSERT_EQ(o.failures.size(), 2u);
    EXPECT_TRUE(o.failures[0].call == "Lock" && o.failures[0].result == DDERR_GENERIC && o.failures[0].nth == 0u);
    EXPECT_TRUE(o.failures[1].call == "Flip" && o.failures[1].nth == 2u);
    EXPECT_EQ(o.stillDrawing, 3u);
    EXPECT_TRUE(o.record == "out.gif" && o.trace == "run.trace" && o.digest == "run.digest");

    ParsedOptions none = Parse({});
    EXPECT_EQ(none.outcome, ParsedOptions::Outcome::Run);
    EXPECT_FALSE(none.options.headless || none.options.window || none.options.integerScale);
    EXPECT_TRUE(none.options.frames == 0u && none.options.events.empty());
    EXPECT_EQ(Parse({"--headless", "--help"}).outcome, ParsedOptions::Outcome::Help);
    EXPECT_EQ(Parse({"--version"}).outcome, ParsedOptions::Outcome::Version);
}

TEST(Options, BadInputIsRefusedWithAReason) {
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
             {"--frames"}, {"--frames", "0"}, {"--frames", "-3"}, {"--frames", "12x"}, {"--frames", "99999999999"},
             {"--still-drawing", ""}, {"--record", ""}, {"--trace"}, {"--digest="}, {"--headless=yes"}, {"--window=1"}, {"-x"},
             {"--fails", "Lock"}, {"stray"}, {"--events", "10"}, {"--events", "x:close"}, {"--events", "-5:close"},
             {"--events", "10:close,"}, {"--events", "10:explode"}, {"--events", "99999999999999:close"},
             {"--fail", "Lock:E_WHATEVER"}}) {
        ParsedOptions parsed = Parse(args);
        EXPECT_EQ(parsed.outcome, ParsedOptions::Outcome::Error) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(Options, EventsComeInTimeOrderKeepingTheWrittenOrderForTies) {
    std::vector<platform::ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(platform::ParseEvents("2000:minimize,500:lose,2000:restore,0:regain,9:pointer", events, error)) << error;
    ASSERT_EQ(events.size(), 5u);
    const HostEvent::Kind kinds[] = {HostEvent::Kind::Regain, HostEvent::Kind::Pointer, HostEvent::Kind::Lose,
                                     HostEvent::Kind::Minimize, HostEvent::Kind::Restore};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(events[i].event.kind, kinds[i]) << i;
    EXPECT_EQ(events[2].at, 5'000'000);
    EXPECT_EQ(events[4].name, "restore");
}

TEST(Options, KeysWithModifiers) {
    using platform::kAlt, platform::kShift, platform::kControl;
    const std::tuple<const char*, WORD, BYTE> keys[] = {
        {"Escape", VK_ESCAPE, 0}, {"Alt+X", 'X', kAlt}, {"alt+x", 'X', kAlt},
        {"Alt+Shift+Ctrl+F12", 0x7B, kAlt | kShift | kControl}, {"Ctrl+7", '7', kControl}, {"F1", 0x70, 0},
        {"Enter", VK_RETURN, 0}, {"Space", VK_SPACE, 0}, {"Shift+q", 'Q', kShift}};
    for (const auto& [text, key, modifiers] : keys) {
        std::vector<platform::ScriptedEvent> events;
        std::string error;
        ASSERT_TRUE(platform::ParseEvents(std::string("1:key=") + text, events, error)) << text << ": " << error;
        EXPECT_EQ(events[0].event.kind, HostEvent::Kind::Key) << text;
        EXPECT_TRUE(events[0].event.key == key && events[0].event.modifiers == modifiers) << text;
    }
    for (const char* bad : {"", "Alt+", "Hyper+X", "F13", "F0", "Alt+Alt+X", "XY", "+"}) {
        std::vector<platform::ScriptedEvent> events;
        std::string error;
        EXPECT_FALSE(platform::ParseEvents(std::string("1:key=") + bad, events, error)) << bad;
        EXPECT_TRUE(events.empty()) << bad;
    }
}

TEST(Options, FailureResultsByNameHexOrDecimal) {
    const std::tuple<const char*, const char*, HRESULT, unsigned long> rules[] = {
        {"Lock:DDERR_SURFACELOST", "Lock", DDERR_SURFACELOST, 0}, {"Flip:0x887601C2", "Flip", DDERR_SURFACELOST, 0},
        {"Blt:-2005532222", "Blt", DDERR_SURFACELOST, 0}, {"Blt:2289435074", "Blt", DDERR_SURFACELOST, 0},
        {"DirectDrawCreate@1:E_OUTOFMEMORY", "DirectDrawCreate", E_OUTOFMEMORY, 1},
        {"Restore@12", "Restore", DDERR_GENERIC, 12}};
    for (const auto& [text, call, result, nth] : rules) {
        platform::FailureRule rule;
        std::string error;
        ASSERT_TRUE(platform::ParseFailure(text, rule, error)) << text << ": " << error;
        EXPECT_TRUE(rule.call == call && rule.result == result && rule.nth == nth) << text;
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
