// resgen: turns a program's resource script into the C++ source of its
// resource table, so that the script the Windows build compiles also gives the
// resources here.
//
//   resgen [-I dir]... [--depfile file] -o table.cpp script.rc
//
// The script may hold comments, #include and #define lines, and ICON, BITMAP
// and ACCELERATORS statements. An included .rc file adds its statements; any
// other included file (a header) adds only its #define lines, as the resource
// compiler reads headers. Quoted includes and the files that statements name
// are looked for beside the file that names them, then in the -I folders;
// <...> includes in the -I folders only.

#include "api/bytes.h"
#include "api/gdi_bmp.h"
#include "api/iconimage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using platform::AppendLE16;
using platform::AppendLE32;
using platform::LoadLE16;
using platform::LoadLE32;

namespace {

struct Failure {
    std::string message;
};

struct Place {
    std::shared_ptr<const std::string> file;
    int line = 0;

    std::string Describe() const { return *file + ":" + std::to_string(line); }
};

[[noreturn]] void Fail(const Place& at, const std::string& message) { throw Failure{at.Describe() + ": " + message}; }
[[noreturn]] void Fail(const std::string& message) { throw Failure{message}; }

bool SameWord(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && !b[i];
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// ---------------------------------------------------------------------------
// Tokens
// ---------------------------------------------------------------------------

enum class Kind { Word, Number, String, Punct };

struct Token {
    Kind kind;
    std::string text;  // a string's contents, without quotes
    int64_t value = 0;
    Place at;
};

std::vector<Token> Tokenize(const std::string& text, const Place& at) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = text[i];
        if (std::isspace(c)) {
            ++i;
        } else if (std::isalpha(c) || c == '_') {
            size_t start = i;
            while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
            tokens.push_back(Token{Kind::Word, text.substr(start, i - start), 0, at});
        } else if (std::isdigit(c)) {
            size_t start = i;
            while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i]))) ++i;
            std::string literal = text.substr(start, i - start);
            std::string digits = literal;
            while (!digits.empty() && (std::toupper(static_cast<unsigned char>(digits.back())) == 'L' ||
                                       std::toupper(static_cast<unsigned char>(digits.back())) == 'U'))
                digits.pop_back();
            size_t used = 0;
            unsigned long long value = 0;
            try {
                value = std::stoull(digits, &used, 0);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != digits.size() || value > 0xFFFFFFFFull) Fail(at, "bad number '" + literal + "'");
            tokens.push_back(Token{Kind::Number, literal, static_cast<int64_t>(value), at});
        } else if (c == '"') {
            std::string contents;
            ++i;
            for (;;) {
                if (i >= text.size()) Fail(at, "string without its closing quote");
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                    contents += '"';
                    i += 2;
                } else if (text[i] == '"') {
                    ++i;
                    break;
                } else if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
                    contents += text[i + 1];
                    i += 2;
                } else {
                    contents += text[i++];
                }
            }
            tokens.push_back(Token{Kind::String, contents, 0, at});
        } else if (std::string("{}(),|&+-~").find(static_cast<char>(c)) != std::string::npos) {
            tokens.push_back(Token{Kind::Punct, std::string(1, static_cast<char>(c)), 0, at});
            ++i;
        } else {
            Fail(at, std::string("unexpected character '") + static_cast<char>(c) + "'");
        }
    }
    return tokens;
}

// ---------------------------------------------------------------------------
// Reading the script: comments, #include, #define
// ---------------------------------------------------------------------------

struct Macro {
    std::string text;
    Place at;
};

struct Script {
    std::vector<fs::path> searchPath;
    std::vector<Token> tokens;
    std::map<std::string, Macro> macros;
    std::vector<std::string> dependencies;
};

// Blanks out comments, keeping line breaks so that lines keep their numbers.
std::string StripComments(const std::string& text, const Place& file) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '"' || c == '\'') {
            size_t end = i + 1;
            while (end < text.size() && text[end] != c && text[end] != '\n') end += text[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, text.size());
            out.append(text, i, end - i);
            i = end;
        } else if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (text.compare(i, 2, "/*") == 0) {
            size_t end = text.find("*/", i + 2);
            if (end == std::string::npos) {
                Place at = file;
                at.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + i, '\n'));
                Fail(at, "comment without its closing */");
            }
            for (size_t k = i; k < end + 2; ++k)
                if (text[k] == '\n') out += '\n';
            out += ' ';
            i = end + 2;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

fs::path Resolve(const Script& script, const std::string& name, const fs::path* besides, const Place& at) {
    std::vector<fs::path> where;
    if (besides) where.push_back(*besides);
    where.insert(where.end(), script.searchPath.begin(), script.searchPath.end());
    for (const fs::path& dir : where) {
        fs::path candidate = dir / name;
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    Fail(at, "cannot find '" + name + "'");
}

constexpr int MAX_INCLUDE_DEPTH = 16;

void ReadSource(Script& script, const fs::path& path, bool statements, int depth);

void Directive(Script& script, const std::string& line, const Place& at, const fs::path& dir, bool statements,
               int depth) {
    size_t i = std::min(line.find_first_not_of(" \t\r", line.find('#') + 1), line.size());
    size_t end = std::min(line.find_first_not_of("abcdefghijklmnopqrstuvwxyz", i), line.size());
    std::string name = line.substr(i, end - i);
    std::string rest = line.substr(end);
    if (name == "define") {
        size_t start = rest.find_first_not_of(" \t");
        size_t stop = start;
        while (stop < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[stop])) || rest[stop] == '_'))
            ++stop;
        if (start == std::string::npos || stop == start) Fail(at, "#define without a name");
        if (stop < rest.size() && rest[stop] == '(') {
            if (statements) Fail(at, "macros with arguments are not supported");
            return;
        }
        script.macros[rest.substr(start, stop - start)] = Macro{rest.substr(stop), at};
    } else if (name == "include") {
        // A header's own includes are those of the language it is written in.
        if (!statements) return;
        size_t open = rest.find_first_not_of(" \t");
        char close = open == std::string::npos ? 0 : rest[open] == '"' ? '"' : rest[open] == '<' ? '>' : 0;
        size_t shut = close ? rest.find(close, open + 1) : std::string::npos;
        if (shut == std::string::npos || rest.find_first_not_of(" \t\r", shut + 1) != std::string::npos)
            Fail(at, "#include needs \"file\" or <file>");
        if (depth >= MAX_INCLUDE_DEPTH) Fail(at, "#include nested too deeply");
        std::string file = rest.substr(open + 1, shut - open - 1);
        fs::path found = Resolve(script, file, close == '"' ? &dir : nullptr, at);
        ReadSource(script, found, found.extension() == ".rc", depth + 1);
    } else if (statements) {
        Fail(at, "unsupported directive #" + name);
    }
}

void ReadSource(Script& script, const fs::path& path, bool statements, int depth) {
    std::string raw = ReadWhole(path);
    Place at{std::make_shared<const std::string>(path.string()), 1};
    script.dependencies.push_back(path.string());
    std::string text = StripComments(raw, at);
    fs::path dir = path.parent_path();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        at.line = ++number;
        // Continued lines count as one, at the number of their first.
        while (!line.empty() && (line.back() == '\\' || (line.back() == '\r' && line.size() > 1 &&
                                                         line[line.size() - 2] == '\\'))) {
            line.erase(line.find_last_of('\\'));
            std::string next;
            if (!std::getline(lines, next)) break;
            ++number;
            line += next;
        }
        size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] == '#')
            Directive(script, line, at, dir, statements, depth);
        else if (statements) {
            std::vector<Token> tokens = Tokenize(line, at);
            script.tokens.insert(script.tokens.end(), tokens.begin(), tokens.end());
        }
    }
}

// ---------------------------------------------------------------------------
// Expressions: numbers and macros joined by | & + - ~ and parentheses
// ---------------------------------------------------------------------------

constexpr int MAX_MACRO_DEPTH = 32;

int64_t MacroValue(const Script& script, const Token& name, int depth);

class Expression {
public:
    Expression(const Script& script, const std::vector<Token>& tokens, size_t& pos, int depth)
        : script_(script), tokens_(tokens), pos_(pos), depth_(depth) {}

    int64_t Or() {
        int64_t value = And();
        while (Take("|")) value |= And();
        return value;
    }

private:
    bool Take(const char* punct) {
        if (pos_ < tokens_.size() && tokens_[pos_].kind == Kind::Punct && tokens_[pos_].text == punct) {
            ++pos_;
            return true;
        }
        return false;
    }

    int64_t And() {
        int64_t value = Sum();
        while (Take("&")) value &= Sum();
        return value;
    }

    int64_t Sum() {
        int64_t value = Unary();
        for (;;) {
            if (Take("+"))
                value += Unary();
            else if (Take("-"))
                value -= Unary();
            else
                return value;
        }
    }

    int64_t Unary() {
        if (Take("-")) return -Unary();
        if (Take("+")) return Unary();
        if (Take("~")) return ~Unary() & 0xFFFFFFFF;
        if (Take("(")) {
            int64_t value = Or();
            if (!Take(")")) Fail(Here(), "expected )");
            return value;
        }
        if (pos_ >= tokens_.size()) Fail(Here(), "expected a number");
        const Token& token = tokens_[pos_++];
        if (token.kind == Kind::Number) return token.value;
        if (token.kind == Kind::Word) return MacroValue(script_, token, depth_);
        Fail(token.at, "expected a number, found '" + token.text + "'");
    }

    Place Here() const { return pos_ < tokens_.size() ? tokens_[pos_].at : tokens_.back().at; }

    const Script& script_;
    const std::vector<Token>& tokens_;
    size_t& pos_;
    int depth_;
};

int64_t MacroValue(const Script& script, const Token& name, int depth) {
    auto found = script.macros.find(name.text);
    if (found == script.macros.end()) Fail(name.at, "'" + name.text + "' is not defined");
    if (depth >= MAX_MACRO_DEPTH) Fail(name.at, "'" + name.text + "' expands into itself");
    std::vector<Token> body = Tokenize(found->second.text, found->second.at);
    if (body.empty()) Fail(found->second.at, "'" + name.text + "' has no value");
    size_t pos = 0;
    int64_t value = Expression(script, body, pos, depth + 1).Or();
    if (pos != body.size()) Fail(found->second.at, "'" + name.text + "' is not a number");
    return value;
}

// ---------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------

struct Resource {
    std::string type;  // the RT_ constant
    bool named = false;
    int id = 0;
    std::string name;
    std::vector<uint8_t> data;
};

class Compiler {
public:
    explicit Compiler(Script& script) : script_(script) {}

    std::vector<Resource> Run() {
        while (pos_ < Tokens().size()) Statement();
        return std::move(resources_);
    }

private:
    const std::vector<Token>& Tokens() const { return script_.tokens; }

    const Token& Next(const char* what) {
        if (pos_ >= Tokens().size()) Fail(Tokens().back().at, std::string("script ends where ") + what + " should be");
        return Tokens()[pos_++];
    }

    bool AtWord(const char* word) const {
        return pos_ < Tokens().size() && Tokens()[pos_].kind == Kind::Word && SameWord(Tokens()[pos_].text, word);
    }

    bool AtPunct(const char* punct) const {
        return pos_ < Tokens().size() && Tokens()[pos_].kind == Kind::Punct && Tokens()[pos_].text == punct;
    }

    int64_t Value(const char* what, int64_t low, int64_t high) {
        Place at = pos_ < Tokens().size() ? Tokens()[pos_].at : Tokens().back().at;
        if (pos_ >= Tokens().size()) Fail(at, std::string("script ends where ") + what + " should be");
        int64_t value = Expression(script_, Tokens(), pos_, 0).Or();
        if (value < low || value > high)
            Fail(at, std::string(what) + " " + std::to_string(value) + " is out of range " + std::to_string(low) +
                         " to " + std::to_string(high));
        return value;
    }

    void Statement() {
        const Token& nameToken = Next("a resource name");
        Resource resource;
        if (nameToken.kind == Kind::Number || (nameToken.kind == Kind::Word && script_.macros.count(nameToken.text))) {
            --pos_;
            resource.id = static_cast<int>(Value("resource identifier", 1, 0xFFFF));
        } else if (nameToken.kind == Kind::Word) {
            resource.named = true;
            resource.name = Upper(nameToken.text);
        } else {
            Fail(nameToken.at, "expected a resource name, found '" + nameToken.text + "'");
        }
        const Token& type = Next("a resource type");
        if (type.kind == Kind::Word && SameWord(type.text, "ICON"))
            Icon(resource, type.at);
        else if (type.kind == Kind::Word && SameWord(type.text, "BITMAP"))
            Bitmap(resource, type.at);
        else if (type.kind == Kind::Word && SameWord(type.text, "ACCELERATORS"))
            Accelerators(resource, type.at);
        else
            Fail(type.at, "unsupported resource type '" + type.text + "'");
    }

    void Add(Resource resource, const Place& at) {
        for (const Resource& other : resources_)
            if (other.type == resource.type && other.named == resource.named && other.id == resource.id &&
                other.name == resource.name)
                Fail(at, "resource defined twice");
        resources_.push_back(std::move(resource));
    }

    struct File {
        std::string quoted;  // its name as the script gives it, for messages
        std::vector<uint8_t> bytes;
    };

    File NamedFile() {
        const Token& name = Next("a file name");
        if (name.kind != Kind::String) Fail(name.at, "expected a quoted file name");
        fs::path dir = fs::path(*name.at.file).parent_path();
        fs::path path = Resolve(script_, name.text, &dir, name.at);
        script_.dependencies.push_back(path.string());
        std::string bytes = ReadWhole(path);
        return File{"'" + name.text + "'", std::vector<uint8_t>(bytes.begin(), bytes.end())};
    }

    // An .ico file becomes one RT_ICON resource per image, numbered through
    // the whole script, and an RT_GROUP_ICON that lists them by number.
    void Icon(Resource group, const Place& at) {
        const auto [file, ico] = NamedFile();
        constexpr size_t HEADER = 6, ENTRY = 16;
        if (ico.size() < HEADER || LoadLE16(&ico[0]) != 0 || LoadLE16(&ico[2]) != 1)
            Fail(at, file + " is not an icon file");
        size_t count = LoadLE16(&ico[4]);
        if (count == 0 || ico.size() < HEADER + count * ENTRY) Fail(at, file + " has no complete list of images");
        group.type = "RT_GROUP_ICON";
        AppendLE16(group.data, 0);
        AppendLE16(group.data, 1);
        AppendLE16(group.data, static_cast<uint32_t>(count));
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* entry = &ico[HEADER + i * ENTRY];
            uint32_t size = LoadLE32(entry + 8);
            uint32_t offset = LoadLE32(entry + 12);
            if (offset > ico.size() || size > ico.size() - offset)
                Fail(at, "image " + std::to_string(i + 1) + " of " + file + " lies beyond its end");
            std::vector<uint32_t> rgba;
            int width = 0, height = 0;
            if (!platform::DecodeIconImage(&ico[offset], size, &rgba, &width, &height))
                Fail(at, "image " + std::to_string(i + 1) + " of " + file +
                             " is not an uncompressed 32-bit image of at most 256 x 256");
            if (width != (entry[0] ? entry[0] : 256) || height != (entry[1] ? entry[1] : 256))
                Fail(at, "image " + std::to_string(i + 1) + " of " + file + " is not of the size its entry says");
            Resource image;
            image.type = "RT_ICON";
            image.id = ++iconImages_;
            if (image.id > 0xFFFF) Fail(at, "too many icon images");
            image.data.assign(ico.begin() + offset, ico.begin() + offset + size);
            Add(std::move(image), at);
            group.data.insert(group.data.end(), entry, entry + 12);
            AppendLE16(group.data, static_cast<uint32_t>(iconImages_));
        }
        Add(std::move(group), at);
    }

    // The resource is the file without its BITMAPFILEHEADER, so the pixels
    // must follow the colour table straight away.
    void Bitmap(Resource resource, const Place& at) {
        const auto [file, bmp] = NamedFile();
        constexpr size_t FILE_HEADER = 14, CORE_HEADER = 12, INFO_HEADER = 40;
        if (bmp.size() < FILE_HEADER + CORE_HEADER || bmp[0] != 'B' || bmp[1] != 'M')
            Fail(at, file + " is not a bitmap file");
        const uint8_t* info = &bmp[FILE_HEADER];
        uint32_t headerSize = LoadLE32(info);
        if ((headerSize != CORE_HEADER && headerSize < INFO_HEADER) || headerSize > bmp.size() - FILE_HEADER)
            Fail(at, file + " has a broken information header");
        uint64_t tableSize = 0;
        if (headerSize == CORE_HEADER) {
            uint32_t bits = LoadLE16(info + 10);
            tableSize = bits <= 8 ? 3ull << bits : 0;
        } else {
            uint32_t bits = LoadLE16(info + 14);
            uint32_t compression = LoadLE32(info + 16);
            uint32_t used = LoadLE32(info + 32);
            tableSize = 4ull * (used ? used : bits <= 8 ? 1u << bits : 0);
            constexpr uint32_t BITFIELDS = 3;
            if (compression == BITFIELDS && headerSize == INFO_HEADER) tableSize += 12;
        }
        if (LoadLE32(&bmp[10]) != FILE_HEADER + headerSize + tableSize)
            Fail(at, "the pixels of " + file + " do not follow its colour table");
        resource.type = "RT_BITMAP";
        resource.data.assign(bmp.begin() + FILE_HEADER, bmp.end());
        // Read as the program will read it, so that a damaged bitmap stops the
        // build instead of the program's start.
        if (!platform::DecodePackedBitmap(resource.data.data(), resource.data.size()))
            Fail(at, file + " is not a bitmap the program can load");
        Add(std::move(resource), at);
    }

    static constexpr uint16_t VIRTKEY = 0x01, NOINVERT = 0x02, SHIFT = 0x04, CONTROL = 0x08, ALT = 0x10;

    struct Accel {
        uint16_t flags;
        uint16_t key;
        uint16_t id;
    };

    void Accelerators(Resource resource, const Place& at) {
        if (!AtWord("BEGIN") && !AtPunct("{")) Fail(at, "expected BEGIN or { after ACCELERATORS");
        ++pos_;
        std::vector<Accel> entries;
        for (;;) {
            if (pos_ >= Tokens().size()) Fail(at, "ACCELERATORS without its END");
            if (AtWord("END") || AtPunct("}")) {
                ++pos_;
                break;
            }
            entries.push_back(Accelerator());
        }
        if (entries.empty()) Fail(at, "ACCELERATORS without entries");
        constexpr uint16_t LAST = 0x80;
        entries.back().flags |= LAST;
        resource.type = "RT_ACCELERATOR";
        for (const Accel& entry : entries) {
            AppendLE16(resource.data, entry.flags);
            AppendLE16(resource.data, entry.key);
            AppendLE16(resource.data, entry.id);
            AppendLE16(resource.data, 0);
        }
        Add(std::move(resource), at);
    }

    // event, id [, option]... with the options VIRTKEY, ASCII, NOINVERT, ALT,
    // SHIFT and CONTROL.
    Accel Accelerator() {
        const Token& event = Tokens()[pos_];
        std::string character;
        int64_t key = 0;
        if (event.kind == Kind::String) {
            character = event.text;
            ++pos_;
        } else {
            key = Value("key", 0, 0xFFFF);
        }
        if (!AtPunct(",")) Fail(event.at, "expected , and a command after the key");
        ++pos_;
        Accel entry{0, 0, static_cast<uint16_t>(Value("command", 0, 0xFFFF))};
        bool ascii = false;
        static const std::pair<const char*, uint16_t> FLAGS[] = {
            {"VIRTKEY", VIRTKEY}, {"NOINVERT", NOINVERT}, {"SHIFT", SHIFT}, {"CONTROL", CONTROL}, {"ALT", ALT}};
        for (;;) {
            size_t mark = pos_;
            if (AtPunct(",")) ++pos_;
            bool matched = AtWord("ASCII");
            ascii = ascii || matched;
            for (const auto& [word, flag] : FLAGS) {
                if (AtWord(word)) {
                    entry.flags |= flag;
                    matched = true;
                }
            }
            if (!matched) {
                if (pos_ != mark) Fail(Tokens()[mark].at, "expected an accelerator option after ,");
                break;
            }
            ++pos_;
        }
        bool virtualKey = entry.flags & VIRTKEY;
        if (virtualKey && ascii) Fail(event.at, "an accelerator is either VIRTKEY or ASCII");
        if (!virtualKey && (entry.flags & (SHIFT | CONTROL))) Fail(event.at, "SHIFT and CONTROL need VIRTKEY");
        if (event.kind == Kind::String) key = KeyOfString(character, virtualKey, event.at);
        entry.key = static_cast<uint16_t>(key);
        return entry;
    }

    // "a" is that character, "^C" its control character; a virtual key given
    // as a string is a capital letter or a digit, whose codes are the keys'.
    static int64_t KeyOfString(const std::string& s, bool virtualKey, const Place& at) {
        if (s.size() == 2 && s[0] == '^' && std::isalpha(static_cast<unsigned char>(s[1])) && !virtualKey)
            return std::toupper(static_cast<unsigned char>(s[1])) - '@';
        if (s.size() != 1) Fail(at, "the key \"" + s + "\" is not one character");
        unsigned char c = s[0];
        if (virtualKey && !std::isupper(c) && !std::isdigit(c))
            Fail(at, "a VIRTKEY key given as a string must be a capital letter or a digit");
        return c;
    }

    Script& script_;
    size_t pos_ = 0;
    int iconImages_ = 0;
    std::vector<Resource> resources_;
};

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

std::string CppString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string TableSource(const std::vector<Resource>& resources, const std::string& scriptName) {
    std::ostringstream out;
    out << "// Made by resgen from " << scriptName << "; edit the script, not this.\n"
        << "#include \"api/resources.h\"\n\n#include <cstdio>\n#include <cstdlib>\n#include <iterator>\n\n"
        << "namespace {\n\n";
    for (size_t r = 0; r < resources.size(); ++r) {
        out << "const BYTE resource" << r << "[] = {";
        const std::vector<uint8_t>& data = resources[r].data;
        for (size_t i = 0; i < data.size(); ++i) {
            out << (i % 16 == 0 ? "\n   " : "");
            char hex[8];
            std::snprintf(hex, sizeof hex, " 0x%02x,", data[i]);
            out << hex;
        }
        out << "\n};\n\n";
    }
    out << "const platform::ResourceEntry entries[] = {\n";
    for (size_t r = 0; r < resources.size(); ++r) {
        const Resource& res = resources[r];
        out << "    {" << res.type << ", "
            << (res.named ? CppString(res.name) : "MAKEINTRESOURCEA(" + std::to_string(res.id) + ")") << ", resource"
            << r << ", sizeof resource" << r << "},\n";
    }
    out << "};\n\n"
        << "[[maybe_unused]] const bool registered = [] {\n"
        << "    if (!platform::RegisterResources(entries, std::size(entries))) {\n"
        << "        std::fputs(" << CppString("the resources of " + scriptName + " clash with others\n")
        << ", stderr);\n"
        << "        std::abort();\n"
        << "    }\n"
        << "    return true;\n"
        << "}();\n\n"
        << "}  // namespace\n";
    return out.str();
}

std::string DepfilePath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << contents;
        if (!out.flush()) Fail("cannot write '" + temporary + "'");
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) Fail("cannot write '" + path + "': " + error.message());
}

int Usage() {
    std::cerr << "usage: resgen [-I dir]... [--depfile file] -o table.cpp script.rc\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Script script;
    std::string output, depfile, input;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "-I" || arg == "-o" || arg == "--depfile") && i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "-I")
                script.searchPath.push_back(value);
            else
                (arg == "-o" ? output : depfile) = value;
        } else if (arg.size() > 2 && arg.compare(0, 2, "-I") == 0) {
            script.searchPath.push_back(arg.substr(2));
        } else if (!arg.empty() && arg[0] != '-' && input.empty()) {
            input = arg;
        } else {
            return Usage();
        }
    }
    if (input.empty() || output.empty()) return Usage();
    try {
        std::error_code error;
        if (!fs::is_regular_file(input, error)) Fail("cannot open '" + input + "'");
        ReadSource(script, input, true, 0);
        if (script.tokens.empty()) Fail(input + ": no resources");
        std::vector<Resource> resources = Compiler(script).Run();
        WriteFile(output, TableSource(resources, fs::path(input).filename().string()));
        if (!depfile.empty()) {
            std::string rule = DepfilePath(output) + ":";
            for (const std::string& dependency : script.dependencies) rule += " \\\n  " + DepfilePath(dependency);
            WriteFile(depfile, rule + "\n");
        }
    } catch (const Failure& failure) {
        std::cerr << "resgen: " << failure.message << "\n";
        return 1;
    }
    return 0;
}
