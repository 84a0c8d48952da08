#include "tools/rcscript/rc_script.h"

#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace rcscript {
namespace {

enum class TokenKind { Word, Number, String, Comma };

struct Token {
    TokenKind kind;
    std::string text;    // words and strings (strings without their quotes)
    uint32_t number = 0; // numbers, saturated at 0xFFFFFFFF
};

std::string Upper(std::string s) {
    for (char &c : s) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
    return s;
}

bool IsWordStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c);
}

int HexValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads the number at line[*i] (decimal, or hexadecimal after 0x) and moves
// past it.
bool ReadNumber(const std::string &line, size_t *i, std::vector<Token> *tokens,
                std::string *message) {
    const size_t start = *i;
    const bool hex = line[start] == '0' && start + 1 < line.size() &&
                     (line[start + 1] == 'x' || line[start + 1] == 'X');
    const int base = hex ? 16 : 10;
    size_t end = hex ? start + 2 : start;
    uint64_t value = 0;
    size_t digits = 0;
    while (end < line.size() && IsWordChar(line[end])) {
        const int d = HexValue(line[end]);
        if (d < 0 || d >= base) {
            *message = "malformed number '" + line.substr(start, end + 1 - start) + "'";
            return false;
        }
        value = value * base + d;
        if (value > 0xFFFFFFFFu) {
            value = 0x100000000u; // saturate: too big either way
        }
        ++end;
        ++digits;
    }
    if (digits == 0) {
        *message = "malformed number '" + line.substr(start, end - start) + "'";
        return false;
    }
    const uint32_t number = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(value);
    tokens->push_back(Token{TokenKind::Number, line.substr(start, end - start), number});
    *i = end;
    return true;
}

// Reads the quoted string that opens at line[*i] and moves past it.
bool ReadString(const std::string &line, size_t *i, std::vector<Token> *tokens,
                std::string *message) {
    std::string text;
    ++*i;
    for (;;) {
        if (*i >= line.size()) {
            *message = "unterminated string";
            return false;
        }
        const char s = line[*i];
        if (s == '"') {
            if (*i + 1 < line.size() && line[*i + 1] == '"') {
                text.push_back('"'); // "" stands for one quote
                *i += 2;
                continue;
            }
            ++*i;
            break;
        }
        if (s == '\\') {
            *message = "backslashes are not supported in strings (write paths with '/')";
            return false;
        }
        if (uint8_t(s) < 0x20 || uint8_t(s) >= 0x7F) {
            *message = "strings must be printable ASCII";
            return false;
        }
        text.push_back(s);
        ++*i;
    }
    tokens->push_back(Token{TokenKind::String, text, 0});
    return true;
}

// Splits one line into tokens, dropping a `//` comment.  Returns false with a
// message (without the location) on anything outside the subset.
bool Tokenize(const std::string &line, std::vector<Token> *tokens, std::string *message) {
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            return true;
        } else if (c == ',') {
            tokens->push_back(Token{TokenKind::Comma, ",", 0});
            ++i;
        } else if (IsWordStart(c)) {
            size_t end = i;
            while (end < line.size() && IsWordChar(line[end])) {
                ++end;
            }
            tokens->push_back(Token{TokenKind::Word, line.substr(i, end - i), 0});
            i = end;
        } else if (IsDigit(c)) {
            if (!ReadNumber(line, &i, tokens, message)) {
                return false;
            }
        } else if (c == '"') {
            if (!ReadString(line, &i, tokens, message)) {
                return false;
            }
        } else {
            if (uint8_t(c) >= 0x20 && uint8_t(c) < 0x7F) {
                *message = std::string("unsupported syntax at '") + c + "'";
            } else {
                *message = "unsupported character (the script must be plain ASCII)";
            }
            return false;
        }
    }
    return true;
}

bool IsWord(const Token &t, const char *upperWord) {
    return t.kind == TokenKind::Word && Upper(t.text) == upperWord;
}

const char *KindKeyword(EntryKind kind) {
    switch (kind) {
    case EntryKind::Icon:
        return "ICON";
    case EntryKind::Bitmap:
        return "BITMAP";
    default:
        return "MENU";
    }
}

class Parser {
public:
    Parser(const std::string &fileName, std::vector<Entry> *entries, std::string *error)
        : fileName_(fileName), entries_(entries), error_(error) {}

    bool Line(int lineNumber, const std::vector<Token> &tokens) {
        line_ = lineNumber;
        if (tokens.empty()) {
            return true;
        }
        switch (state_) {
        case State::Top:
            return TopLine(tokens);
        case State::BeforeBegin:
            if (tokens.size() == 1 && IsWord(tokens[0], "BEGIN")) {
                state_ = State::InMenu;
                return true;
            }
            return Fail("expected BEGIN after '" + entries_->back().name + " MENU'");
        case State::InMenu:
            return MenuLine(tokens);
        }
        return true;
    }

    bool Finish() {
        if (state_ != State::Top) {
            line_ = entries_->back().line;
            return Fail("menu '" + entries_->back().name + "' has no END");
        }
        return true;
    }

    bool Fail(const std::string &message) {
        *error_ = fileName_ + ":" + std::to_string(line_) + ": " + message;
        return false;
    }

private:
    enum class State { Top, BeforeBegin, InMenu };

    bool TopLine(const std::vector<Token> &t) {
        if (t[0].kind == TokenKind::Number) {
            return Fail("numeric resource ids are not supported: give the resource a name");
        }
        if (t[0].kind != TokenKind::Word) {
            return Fail("expected a resource name");
        }
        if (t.size() < 2 || t[1].kind != TokenKind::Word) {
            return Fail("expected a resource type (ICON, BITMAP or MENU) after '" + t[0].text +
                        "'");
        }
        Entry entry;
        entry.name = t[0].text;
        entry.line = line_;
        const std::string type = Upper(t[1].text);
        if (type == "ICON" || type == "BITMAP") {
            entry.kind = type == "ICON" ? EntryKind::Icon : EntryKind::Bitmap;
            if (t.size() < 3 || t[2].kind != TokenKind::String) {
                return Fail("expected a quoted file name after " + type);
            }
            if (t.size() > 3) {
                return Fail("unexpected '" + t[3].text + "' after the file name");
            }
            entry.path = t[2].text;
            if (entry.path.empty()) {
                return Fail("empty file name");
            }
            if (entry.path[0] == '/' || entry.path.find(':') != std::string::npos) {
                return Fail("file names must be relative to the script's folder: '" + entry.path +
                            "'");
            }
        } else if (type == "MENU") {
            entry.kind = EntryKind::Menu;
            if (t.size() > 2) {
                return Fail("unexpected '" + t[2].text + "' after MENU");
            }
            state_ = State::BeforeBegin;
        } else {
            return Fail("unknown resource type '" + t[1].text +
                        "' (this tool reads ICON, BITMAP and MENU)");
        }
        for (const Entry &other : *entries_) {
            if (other.kind == entry.kind && Upper(other.name) == Upper(entry.name)) {
                return Fail(std::string("duplicate ") + KindKeyword(entry.kind) + " '" +
                            entry.name + "' (first at line " + std::to_string(other.line) + ")");
            }
        }
        entries_->push_back(std::move(entry));
        return true;
    }

    bool MenuLine(const std::vector<Token> &t) {
        Entry &menu = entries_->back();
        if (t.size() == 1 && IsWord(t[0], "END")) {
            if (menu.items.empty()) {
                return Fail("menu '" + menu.name + "' has no items");
            }
            state_ = State::Top;
            return true;
        }
        if (IsWord(t[0], "POPUP")) {
            return Fail("pop-up menus are not supported");
        }
        if (!IsWord(t[0], "MENUITEM")) {
            return Fail("expected MENUITEM or END in menu '" + menu.name + "'");
        }
        if (t.size() >= 2 && IsWord(t[1], "SEPARATOR")) {
            return Fail("menu separators are not supported");
        }
        if (t.size() < 4 || t[1].kind != TokenKind::String || t[2].kind != TokenKind::Comma ||
            t[3].kind != TokenKind::Number) {
            return Fail("expected MENUITEM \"text\", id");
        }
        if (t.size() > 4) {
            return Fail("menu item options are not supported (after '" + t[3].text + "')");
        }
        if (t[3].number > 0xFFFF) {
            return Fail("menu item id " + t[3].text + " does not fit in 16 bits");
        }
        menu.items.push_back(MenuItem{t[1].text, uint16_t(t[3].number)});
        return true;
    }

    std::string fileName_;
    std::vector<Entry> *entries_;
    std::string *error_;
    State state_ = State::Top;
    int line_ = 0;
};

} // namespace

bool ParseScript(const std::string &text, const std::string &fileName, std::vector<Entry> *entries,
                 std::string *error) {
    entries->clear();
    Parser parser(fileName, entries, error);
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<Token> tokens;
        std::string message;
        if (!Tokenize(line, &tokens, &message)) {
            *error = fileName + ":" + std::to_string(number) + ": " + message;
            return false;
        }
        if (!parser.Line(number, tokens)) {
            return false;
        }
    }
    return parser.Finish();
}

bool ReadScript(const std::string &path, std::vector<Entry> *entries, std::string *error) {
    // A script is a few kilobytes; a megabyte is plenty.
    std::vector<unsigned char> bytes;
    std::string why;
    if (!zplat::ReadRegularFile(path, 1u << 20, &bytes, &why)) {
        *error = path + ": cannot read the script: " + why;
        return false;
    }
    return ParseScript(std::string(bytes.begin(), bytes.end()), path, entries, error);
}

} // namespace rcscript
