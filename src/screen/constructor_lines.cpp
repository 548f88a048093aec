#include "screen/constructor_lines.h"

#include <algorithm>

namespace screen {

namespace {

struct Token {
    char kind; // '{', '}', '(', ')', '[', ']', ',', ';', 'n' (a name), 'o' (anything else)
    int line;    // where it starts
    int endLine; // where it ends (long strings and comments span lines)
};

bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNewline(char c) { return c == '\n' || c == '\r'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
char closing(char open) { return open == '{' ? '}' : open == '(' ? ')' : ']'; }

class Lexer {
public:
    explicit Lexer(std::string_view text) : t_(text) {}

    std::vector<Token> tokens()
    {
        std::vector<Token> out;
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (isNewline(c)) {
                newline();
                continue;
            }
            if (isSpace(c)) {
                ++i_;
                continue;
            }
            const int start = line_;
            const char kind = token(c);
            if (kind)
                out.push_back({kind, start, line_});
        }
        return out;
    }

private:
    // The token at c (consumed); 0 for a comment.
    char token(char c)
    {
        if (c == '-' && peek(1) == '-') {
            i_ += 2;
            if (peek(0) == '[') {
                if (const int level = longBracket(); level >= 0) {
                    skipLong(level);
                    return 0;
                }
            }
            while (i_ < t_.size() && !isNewline(t_[i_]))
                ++i_;
            return 0;
        }
        if (c == '[') {
            if (const int level = longBracket(); level >= 0) {
                skipLong(level);
                return 'o';
            }
            ++i_;
            return '[';
        }
        if (c == '"' || c == '\'') {
            skipString(c);
            return 'o';
        }
        if (isNameStart(c)) {
            while (i_ < t_.size() && (isNameStart(t_[i_]) || isDigit(t_[i_])))
                ++i_;
            return 'n';
        }
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
            skipNumber();
            return 'o';
        }
        ++i_;
        if (c == '.') {
            while (peek(0) == '.' && i_ < t_.size())
                ++i_;
            return 'o';
        }
        if ((c == '=' || c == '<' || c == '>' || c == '~') && peek(0) == '=')
            ++i_;
        else if (c == ':' && peek(0) == ':')
            ++i_;
        switch (c) {
        case '{': case '}': case '(': case ')': case ']': case ',': case ';': return c;
        default: return 'o';
        }
    }

    char peek(std::size_t ahead) const { return i_ + ahead < t_.size() ? t_[i_ + ahead] : '\0'; }

    // CR, LF, CR LF or LF CR: one line end.
    void newline()
    {
        const char first = t_[i_++];
        if (i_ < t_.size() && isNewline(t_[i_]) && t_[i_] != first)
            ++i_;
        ++line_;
    }

    // At "[": the level of a long bracket "[==[" (consumed), or -1 (nothing consumed).
    int longBracket()
    {
        std::size_t j = i_ + 1;
        while (j < t_.size() && t_[j] == '=')
            ++j;
        if (j >= t_.size() || t_[j] != '[')
            return -1;
        const int level = static_cast<int>(j - i_ - 1);
        i_ = j + 1;
        return level;
    }

    void skipLong(int level)
    {
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (isNewline(c)) {
                newline();
                continue;
            }
            ++i_;
            if (c != ']')
                continue;
            std::size_t j = i_;
            while (j < t_.size() && t_[j] == '=')
                ++j;
            if (static_cast<int>(j - i_) == level && j < t_.size() && t_[j] == ']') {
                i_ = j + 1;
                return;
            }
        }
    }

    void skipString(char delimiter)
    {
        ++i_;
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (c == delimiter) {
                ++i_;
                return;
            }
            if (isNewline(c))
                return; // an unfinished string: Lua stops here
            ++i_;
            if (c != '\\' || i_ >= t_.size())
                continue;
            const char escaped = t_[i_];
            if (isNewline(escaped)) {
                newline();
            } else if (escaped == 'z') {
                ++i_;
                while (i_ < t_.size() && (isSpace(t_[i_]) || isNewline(t_[i_]))) {
                    if (isNewline(t_[i_]))
                        newline();
                    else
                        ++i_;
                }
            } else {
                ++i_;
            }
        }
    }

    void skipNumber()
    {
        while (i_ < t_.size()) {
            const char c = t_[i_];
            const char before = i_ > 0 ? t_[i_ - 1] : '\0';
            const bool exponentSign =
                (c == '+' || c == '-') && (before == 'e' || before == 'E' || before == 'p' || before == 'P');
            if (!(isNameStart(c) || isDigit(c) || c == '.' || exponentSign))
                return;
            ++i_;
        }
    }

    std::string_view t_;
    std::size_t i_ = 0;
    int line_ = 1;
};

} // namespace

ConstructorLines::ConstructorLines(std::string_view chunk)
{
    const std::vector<Token> tokens = Lexer(chunk).tokens();
    std::vector<char> open; // the brackets open at each token
    std::vector<std::pair<int, int>> braces;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& token = tokens[k];
        if (token.kind == '{') {
            // Lua notes the table at the end of the token before the `{`. A
            // field of a constructor that starts with a name is read one
            // token ahead (to tell `name = value` from a value), so a `{`
            // right after such a name is noted at its own line.
            int notedAt = k == 0 ? 1 : tokens[k - 1].endLine;
            if (k >= 2 && tokens[k - 1].kind == 'n' && !open.empty() && open.back() == '{' &&
                (tokens[k - 2].kind == '{' || tokens[k - 2].kind == ',' || tokens[k - 2].kind == ';'))
                notedAt = token.line;
            braces.emplace_back(notedAt, token.line);
        }
        if (token.kind == '{' || token.kind == '(' || token.kind == '[')
            open.push_back(token.kind);
        else if (!open.empty() && token.kind == closing(open.back()))
            open.pop_back();
    }
    std::stable_sort(braces.begin(), braces.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [notedAt, line] : braces) {
        notedAt_.push_back(notedAt);
        lines_.push_back(line);
    }
}

std::span<const int> ConstructorLines::bracesNotedAt(int line) const
{
    const auto [first, last] = std::equal_range(notedAt_.begin(), notedAt_.end(), line);
    return std::span<const int>(lines_).subspan(static_cast<std::size_t>(first - notedAt_.begin()),
                                                static_cast<std::size_t>(last - first));
}

} // namespace screen
