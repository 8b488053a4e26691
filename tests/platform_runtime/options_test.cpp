#include "runtime/options.h"
#include <ddraw.h>
#include <gtest/gtest.h>
#include <vector>
namespace {
using platform::ParsedOptions;
using Kind = platform::HostEvent::Kind;
ParsedOptions Parse(std::vector<const char*> args) {
    return args.insert(args.begin(), "program"), platform::ParseOptions(static_cast<int>(args.size()), args.data());
}
TEST(Options, EveryOptionInBothFormsAndDefaultsWithout) {
    ParsedOptions parsed = Parse({"--headless", "--realtime", "--frames", "12", "--events=5:close", "--fail", "Lock",
                                  "--fail=Flip@2:E_FAIL", "--still-drawing", "3", "--record", "out.gif",
                                  "--trace=run.trace", "--digest", "run.digest", "--window", "--integer-scale"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << parsed.error;
    const platform::Options& o = parsed.options;
    EXPECT_TRUE(o.headless && o.realtime && o.window && o.integerScale && o.frames == 12u && o.stillDrawing == 3u);
    ASSERT_TRUE(o.events.size() == 1u && o.failures.size() == 2u);
    EXPECT_TRUE(o.events[0].at == 50'000 && o.events[0].event.kind == Kind::Close && o.failures[1].call == "Flip");
    EXPECT_TRUE(o.failures[0].call == "Lock" && o.failures[0].result == DDERR_GENERIC && o.failures[0].nth == 0u);
    EXPECT_TRUE(o.failures[1].nth == 2u && o.record == "out.gif" && o.trace == "run.trace" && o.digest == "run.digest");
    const platform::Options none = Parse({}).options;
    EXPECT_FALSE(none.headless || none.window || none.integerScale || none.frames || !none.events.empty());
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
             {"--frames"}, {"--frames", "0"}, {"--frames", "-3"}, {"--frames", "12x"}, {"--frames", "99999999999"},
             {"--still-drawing", ""}, {"--record", ""}, {"--trace"}, {"--digest="}, {"--headless=yes"}, {"-x"},
             {"--fails", "Lock"}, {"stray"}, {"--events", "10"}, {"--events", "x:close"}, {"--events", "-5:close"},
             {"--events", "10:close,"}, {"--events", "10:explode"}, {"--events", "99999999999999:close"}, {"--events", "1:key=XY"},
             {"--events", "1:close,2:key=Alt+"}, {"--events", "1:key=Hyper+X"}, {"--events", "1:key=F13"}}) {
        const ParsedOptions bad = Parse(args);
        EXPECT_TRUE(bad.outcome == ParsedOptions::Outcome::Error && !bad.error.empty()) << args.back();
    }
}
TEST(Options, FailureResultsByNameHexOrDecimal) {
    const std::tuple<const char*, const char*, HRESULT, unsigned long> rules[] = {
        {"Lock:DDERR_SURFACELOST", "Lock", DDERR_SURFACELOST, 0}, {"Flip:0x887601C2", "Flip", DDERR_SURFACELOST, 0},
        {"Blt:-2005532222", "Blt", DDERR_SURFACELOST, 0}, {"Blt:2289435074", "Blt", DDERR_SURFACELOST, 0},
        {"DirectDrawCreate@1:E_OUTOFMEMORY", "DirectDrawCreate", E_OUTOFMEMORY, 1}, {"Restore@12", "Restore", DDERR_GENERIC, 12}};
    platform::FailureRule rule;
    std::string error;
    for (const auto& [text, call, result, nth] : rules) {
        ASSERT_TRUE(platform::ParseFailure(text, rule, error)) << text << ": " << error;
        EXPECT_TRUE(rule.call == call && rule.result == result && rule.nth == nth) << text;
    }
    for (const char* bad : {"", ":E_FAIL", "Lock:", "Lock:0", "Lock@0", "Lock@", "Lock@x:E_FAIL", "1Lock", "Lo ck",
                            "Lock:0x1FFFFFFFF", "Lock:-2147483649", "Lock:dderr_surfacelost", "Lock:E_WHATEVER"}) {
        error.clear();
        EXPECT_FALSE(platform::ParseFailure(bad, rule, error) || error.empty()) << bad;
    }
}
}  // namespace
