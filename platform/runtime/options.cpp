#include "options.h"

#include <ddraw.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Beyond this a time in milliseconds would not fit the clock's counts.
constexpr unsigned long long kLatestMilliseconds = 1'000'000'000'000ULL;

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool ParseUnsigned(std::string_view text, unsigned long long& value, int base = 10) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

struct NamedKey {
    const char* name;
    WORD key;
};

constexpr NamedKey kNamedKeys[] = {
    {"Escape", VK_ESCAPE}, {"Esc", VK_ESCAPE}, {"Enter", VK_RETURN}, {"Return", VK_RETURN},
    {"Space", VK_SPACE},   {"Tab", VK_TAB},
};

bool ParseKeyName(std::string_view name, WORD& key) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        // Letters and digits are their own (upper-case) character codes.
        key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (EqualNoCase(name, named.name)) {
            key = named.key;
            return true;
        }
    }
    unsigned long long number = 0;
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f') && ParseUnsigned(name.substr(1), number) &&
        number >= 1 && number <= 12) {
        key = static_cast<WORD>(VK_F1 + number - 1);  // the function keys' codes follow one another
        return true;
    }
    return false;
}

// "[Alt+][Shift+][Ctrl+]NAME"
bool ParseKey(std::string_view text, HostEvent& event, std::string& error) {
    event.kind = HostEvent::Kind::Key;
    std::string_view rest = text;
    for (size_t plus; (plus = rest.find('+')) != std::string_view::npos && plus + 1 < rest.size();) {
        std::string_view modifier = rest.substr(0, plus);
        BYTE bit = EqualNoCase(modifier, "Alt")     ? kAlt
                   : EqualNoCase(modifier, "Shift") ? kShift
                   : EqualNoCase(modifier, "Ctrl")  ? kControl
                                                    : 0;
        if (bit == 0 || (event.modifiers & bit)) {
            error = "bad modifier '" + std::string(modifier) + "' in key '" + std::string(text) + "'";
            return false;
        }
        event.modifiers |= bit;
        rest = rest.substr(plus + 1);
    }
    if (!ParseKeyName(rest, event.key)) {
        error = "unknown key '" + std::string(rest) +
                "' (use a letter, a digit, Escape, Enter, Space, Tab or F1 to F12)";
        return false;
    }
    return true;
}

struct NamedEvent {
    const char* name;
    HostEvent::Kind kind;
};

constexpr NamedEvent kNamedEvents[] = {
    {"minimize", HostEvent::Kind::Minimize}, {"restore", HostEvent::Kind::Restore},
    {"lose", HostEvent::Kind::Lose},         {"regain", HostEvent::Kind::Regain},
    {"close", HostEvent::Kind::Close},       {"pointer", HostEvent::Kind::Pointer},
};

bool ParseEvent(std::string_view item, ScriptedEvent& scripted, std::string& error) {
    size_t colon = item.find(':');
    unsigned long long ms = 0;
    if (colon == std::string_view::npos || !ParseUnsigned(item.substr(0, colon), ms)) {
        error = "event '" + std::string(item) + "' should be TIME:WHAT with TIME in milliseconds";
        return false;
    }
    if (ms > kLatestMilliseconds) {
        error = "event time " + std::string(item.substr(0, colon)) + " is too late";
        return false;
    }
    scripted.at = static_cast<LONGLONG>(ms) * (kCountsPerSecond / 1000);
    std::string_view what = item.substr(colon + 1);
    scripted.name = std::string(what);
    if (what.starts_with("key=")) return ParseKey(what.substr(4), scripted.event, error);
    for (const NamedEvent& named : kNamedEvents) {
        if (what == named.name) {
            scripted.event.kind = named.kind;
            return true;
        }
    }
    error = "unknown event '" + std::string(what) + "' (use minimize, restore, lose, regain, close, pointer or key=KEY)";
    return false;
}

#define NAMED_RESULT(code) {#code, code}
struct NamedResult {
    const char* name;
    HRESULT value;
};
constexpr NamedResult kNamedResults[] = {
    NAMED_RESULT(DDERR_GENERIC),       NAMED_RESULT(DDERR_INVALIDPARAMS),   NAMED_RESULT(DDERR_OUTOFMEMORY),
    NAMED_RESULT(DDERR_UNSUPPORTED),   NAMED_RESULT(DDERR_INVALIDOBJECT),   NAMED_RESULT(DDERR_NOTFOUND),
    NAMED_RESULT(DDERR_SURFACEBUSY),   NAMED_RESULT(DDERR_SURFACELOST),     NAMED_RESULT(DDERR_WASSTILLDRAWING),
    NAMED_RESULT(DDERR_NOTLOCKED),     NAMED_RESULT(E_NOTIMPL),             NAMED_RESULT(E_NOINTERFACE),
    NAMED_RESULT(E_POINTER),           NAMED_RESULT(E_FAIL),                NAMED_RESULT(E_OUTOFMEMORY),
    NAMED_RESULT(E_INVALIDARG),
};
#undef NAMED_RESULT

bool ParseResultCode(std::string_view text, HRESULT& result) {
    for (const NamedResult& named : kNamedResults) {
        if (text == named.name) {
            result = named.value;
            return true;
        }
    }
    unsigned long long value = 0;
    bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    bool parsed = text.starts_with("0x") || text.starts_with("0X") ? ParseUnsigned(text.substr(2), value, 16)
                                                                     : ParseUnsigned(text, value);
    if (!parsed || value > 0xFFFFFFFFULL || (negative && value > 0x80000000ULL)) return false;
    result = static_cast<HRESULT>(static_cast<DWORD>(negative ? 0 - value : value));
    return true;
}

// Every call that asks whether it is scripted to fail: a rule for any other
// would silently do nothing.
constexpr const char* kFailingCalls[] = {
    "Blt",   "CreatePalette", "CreateSurface", "CreateWindowExA", "DirectDrawCreate", "Flip",    "GetAttachedSurface",
    "GetDC", "LoadImageA",    "Lock",          "QueryInterface",  "RegisterClassA",   "Restore", "SetCooperativeLevel",
    "SetDisplayMode",
};

bool IsFailingCall(std::string_view name) {
    return std::find(std::begin(kFailingCalls), std::end(kFailingCalls), name) != std::end(kFailingCalls);
}

std::string FailingCallList() {
    std::string list;
    for (const char* call : kFailingCalls) list += (list.empty() ? "" : ", ") + std::string(call);
    return list;
}

bool ParseCount(std::string_view text, unsigned long& count) {
    unsigned long long value = 0;
    if (!ParseUnsigned(text, value) || value == 0 || value > 0xFFFFFFFFULL) return false;
    count = static_cast<unsigned long>(value);
    return true;
}

// Whether the run will be able to write the file, found without truncating
// it: a file that is not there is made to find out, and `made` tells the
// caller to remove it again.
bool ProbeOutput(const std::string& path, struct stat& status, bool& made, std::string& error) {
    made = false;
    if (stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            errno = EISDIR;
        else if (!S_ISREG(status.st_mode) || access(path.c_str(), W_OK) == 0)
            return true;  // a device or a pipe is opened as the run starts
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    int fd = errno == ENOENT ? open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666) : -1;
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    made = true;
    fstat(fd, &status);
    close(fd);
    return true;
}

}  // namespace

bool CheckOutputFiles(const Options& options, std::string& error) {
    struct Output {
        const char* option;
        const std::string& path;
        struct stat status {};
        bool made = false;
    };
    std::vector<Output> outputs;
    for (const auto& [option, path] : {std::pair{"--record", &options.record}, std::pair{"--trace", &options.trace},
                                       std::pair{"--digest", &options.digest}})
        if (!path->empty()) outputs.push_back(Output{option, *path});
    bool usable = true;
    for (Output& output : outputs) usable = usable && ProbeOutput(output.path, output.status, output.made, error);
    // However they are spelt, one file cannot hold two outputs: one would be written over the other.
    for (size_t i = 0; usable && i < outputs.size(); ++i)
        for (size_t j = i + 1; usable && j < outputs.size(); ++j) {
            const Output &a = outputs[i], &b = outputs[j];
            if (S_ISREG(a.status.st_mode) && a.status.st_dev == b.status.st_dev && a.status.st_ino == b.status.st_ino) {
                error = std::string(a.option) + " " + a.path + " and " + b.option + " " + b.path + " are the same file";
                usable = false;
            }
        }
    for (const Output& output : outputs)
        if (output.made) unlink(output.path.c_str());
    return usable;
}

bool ParseEvents(std::string_view list, std::vector<ScriptedEvent>& events, std::string& error) {
    std::vector<ScriptedEvent> parsed;
    while (true) {
        size_t comma = list.find(',');
        ScriptedEvent scripted{};
        if (!ParseEvent(list.substr(0, comma), scripted, error)) return false;
        parsed.push_back(std::move(scripted));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    events.insert(events.end(), std::make_move_iterator(parsed.begin()), std::make_move_iterator(parsed.end()));
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.at < b.at; });
    return true;
}

bool ParseFailure(std::string_view text, FailureRule& rule, std::string& error) {
    size_t colon = text.find(':');
    std::string_view call = text.substr(0, colon);
    rule = FailureRule{};
    rule.result = DDERR_GENERIC;
    if (size_t at = call.find('@'); at != std::string_view::npos) {
        if (!ParseCount(call.substr(at + 1), rule.nth)) {
            error = "bad call number in '" + std::string(text) + "' (CALL@N counts calls from 1)";
            return false;
        }
        call = call.substr(0, at);
    }
    if (!IsFailingCall(call)) {
        error = "no call '" + std::string(call) + "' can be made to fail (use " + FailingCallList() + ")";
        return false;
    }
    rule.call = std::string(call);
    if (colon == std::string_view::npos) return true;
    std::string_view result = text.substr(colon + 1);
    if (!ParseResultCode(result, rule.result)) {
        error = "bad result '" + std::string(result) + "' (a hexadecimal or decimal code, or a name such as " +
                "DDERR_SURFACELOST or E_FAIL)";
        return false;
    }
    if (!FAILED(rule.result)) {
        error = "result " + std::string(result) + " in '" + std::string(text) +
                "' is not a failure code (a failure code is negative, such as 0x80004005)";
        return false;
    }
    return true;
}

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    Options& options = parsed.options;
    auto fail = [&parsed](std::string message) {
        parsed.outcome = ParsedOptions::Outcome::Error;
        parsed.error = std::move(message);
        return parsed;
    };
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view name = arg;
        std::optional<std::string_view> inlineValue;
        if (size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        auto takesValue = [&](std::string_view option) { return name == option; };
        std::string_view value;
        auto needValue = [&]() {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return false;
            }
            return true;
        };
        auto flag = [&](std::string_view option) { return arg == option; };

        if (flag("--help") || flag("-h")) {
            parsed.outcome = ParsedOptions::Outcome::Help;
            return parsed;
        } else if (flag("--version")) {
            parsed.outcome = ParsedOptions::Outcome::Version;
            return parsed;
        } else if (flag("--headless")) {
            options.headless = true;
        } else if (flag("--realtime")) {
            options.realtime = true;
        } else if (flag("--window")) {
            options.window = true;
        } else if (flag("--integer-scale")) {
            options.integerScale = true;
        } else if (takesValue("--frames") || takesValue("--still-drawing")) {
            unsigned long& count = name == "--frames" ? options.frames : options.stillDrawing;
            if (!needValue() || !ParseCount(value, count))
                return fail(std::string(name) + " needs a positive count");
        } else if (takesValue("--events")) {
            std::string error;
            if (!needValue()) return fail("--events needs a list such as 2000:minimize,5000:restore");
            if (!ParseEvents(value, options.events, error)) return fail("--events: " + error);
        } else if (takesValue("--fail")) {
            FailureRule rule;
            std::string error;
            if (!needValue()) return fail("--fail needs CALL[@N][:RESULT]");
            if (!ParseFailure(value, rule, error)) return fail("--fail: " + error);
            options.failures.push_back(std::move(rule));
        } else if (takesValue("--record") || takesValue("--trace") || takesValue("--digest")) {
            std::string& file = name == "--record" ? options.record : name == "--trace" ? options.trace : options.digest;
            if (!needValue() || value.empty()) return fail(std::string(name) + " needs a file name");
            file = std::string(value);
        } else if (arg.starts_with("-")) {
            return fail("unknown option '" + std::string(arg) + "'");
        } else {
            return fail("unexpected argument '" + std::string(arg) + "': the program takes no arguments");
        }
    }
    return parsed;
}

std::string HelpText(const char* program) {
    return std::string("usage: ") + program + " [OPTION]...\n" +
           "Platform options:\n"
           "  --headless          run without a window system: a virtual 60 Hz display\n"
           "                      (the default where there is no display)\n"
           "  --realtime          pace the headless display by the real clock\n"
           "  --window            show the screen in a window, at the largest whole scale\n"
           "                      that fits the desktop, instead of full screen\n"
           "                      (Alt+Enter switches between the two at any time)\n"
           "  --integer-scale     scale the screen by whole numbers only\n"
           "  --frames N          press Escape after N frames, shown or failed (frames that\n"
           "                      keep failing take a refresh each; refreshes missed\n"
           "                      while the display is away do not count)\n"
           "  --events LIST       scripted events, e.g. 2000:minimize,5000:restore,6000:key=Escape\n"
           "                      (milliseconds; minimize, restore, lose, regain, close,\n"
           "                      pointer, key=[Alt+][Shift+][Ctrl+]NAME)\n"
           "  --fail CALL[@N][:RESULT]\n"
           "                      make CALL (every call, or only the Nth) fail with RESULT\n"
           "                      (default DDERR_GENERIC); repeatable\n"
           "  --still-drawing N   Lock answers DDERR_WASSTILLDRAWING N times\n"
           "  --record FILE.gif   record every presented frame into an animated GIF\n"
           "  --trace FILE        write platform events with the clock's counts to FILE\n"
           "  --digest FILE       write a digest of each presented frame's pixels to FILE\n"
           "  --version           print the version and exit\n"
           "  --help              print this help and exit\n";
}

}  // namespace platform
