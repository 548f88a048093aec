#include "data/string_table_check.h"

#include "base/byte_reader.h"
#include "data/ansi_text.h"

#include <optional>
#include <string_view>
#include <unordered_map>

namespace Mod {

namespace {

constexpr char16_t ByteOrderMark = 0xFEFF;
const char* const SaveAsUtf16 =
    "save the file as UTF-16 LE with a byte order mark (\"Unicode\" in Notepad), one id<TAB>text per line, "
    "each line ending in CR LF";

base::Finding finding(const char* code, std::string message, const std::string& path, std::optional<int> line,
                      std::optional<std::string> hint = std::nullopt)
{
    base::Finding f;
    f.level = base::FindingLevel::Warning;
    f.code = code;
    f.message = std::move(message);
    f.hint = std::move(hint);
    f.file = path;
    f.line = line;
    return f;
}

// "UTF-8" or "ANSI" when the bytes read as 8-bit text; nothing when they
// look like UTF-16. The lines of a table are ASCII-separated: in UTF-16
// text TAB and LF are code units with a zero high byte, in 8-bit text they
// are bytes next to other characters.
std::optional<std::string> eightBitEncoding(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return "UTF-8";
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        if (bytes[i + 1] == '\0' && (bytes[i] == '\t' || bytes[i] == '\n'))
            return std::nullopt;
    // Text of 8 bits has no NUL bytes; UTF-16 of these files has many.
    if (bytes.find_first_of("\t\n") == std::string_view::npos || bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    return isUtf8(bytes) ? "UTF-8" : "ANSI";
}

// Code units as a modder reads them: printable text as is, line ends and
// TABs escaped.
std::string shown(std::u16string_view units)
{
    std::string out;
    for (const char16_t unit : units) {
        switch (unit) {
        case u'\r': out += "\\r"; break;
        case u'\n': out += "\\n"; break;
        case u'\t': out += "\\t"; break;
        default: out += utf16ToUtf8(std::u16string_view(&unit, 1));
        }
    }
    return out;
}

bool isLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\n'; }

// The same walk as the table's parse, noting what it loses on the way.
class Walk {
public:
    Walk(std::u16string units, const std::string& path) : u_(std::move(units)), end_(u_.size()), path_(path) {}

    base::FindingList run()
    {
        if (u_[0] != ByteOrderMark)
            noByteOrderMark_ = true;
        std::size_t pos = 1;
        int line = 1;
        bool first = true;
        while (pos != end_) {
            const std::size_t idStart = pos;
            const int idLine = line;
            std::uint32_t id = 0;
            while (pos < end_ && u_[pos] != u'\t') {
                id = id * 10 + static_cast<std::uint32_t>(u_[pos] - 0x30);
                line += u_[pos] == u'\n';
                ++pos;
            }
            const std::u16string_view idText(u_.data() + idStart, pos - idStart);
            if (pos >= end_ || pos + 3 >= end_) {
                lastEntryLost(idText, idLine, pos);
                break;
            }
            if (first && noByteOrderMark_)
                reportNoByteOrderMark(id);
            first = false;
            const bool idRead = checkId(idText, idLine, line, id);

            const std::size_t textStart = pos + 1;
            std::size_t textEnd = textStart;
            while (textEnd < end_ - 2 && u_[textEnd] != u'\r')
                ++textEnd;
            checkText(textStart, textEnd, line, id);
            if (idRead)
                checkDuplicate(id, line);
            for (; pos < textEnd + 2; ++pos)
                line += u_[pos] == u'\n';
        }
        if (noByteOrderMark_ && first)
            reportNoByteOrderMark(std::nullopt);
        return std::move(findings_);
    }

private:
    void reportNoByteOrderMark(std::optional<std::uint32_t> firstId)
    {
        std::string message = "no UTF-16 byte order mark: the first character, \"" +
                              shown(std::u16string_view(u_.data(), 1)) + "\", is skipped";
        if (firstId)
            message += ", so line 1 reads as id " + std::to_string(*firstId);
        add("string-table-no-bom", message, 1, SaveAsUtf16);
    }

    // Whether idText (which ends at a TAB on line tabLine) is a clean id.
    bool checkId(std::u16string_view idText, int idLine, int tabLine, std::uint32_t id)
    {
        if (tabLine != idLine) {
            // The lines before the TAB's line had no TAB (or nothing at all):
            // their characters and line ends became digits of this id.
            const bool empty = isLineEnd(idText.front());
            add("string-bad-id",
                "line " + std::to_string(idLine) + (empty ? " is empty" : " has no TAB") +
                    ": it becomes part of the id on line " + std::to_string(tabLine) + ", read as " +
                    std::to_string(id),
                idLine, "write each entry as id<TAB>text on one line, with no empty lines between entries");
            return false;
        }
        for (const char16_t unit : idText) {
            if (unit < u'0' || unit > u'9') {
                add("string-bad-id",
                    "the id \"" + shown(idText) + "\" has characters other than digits: it reads as " +
                        std::to_string(id),
                    idLine, "an id is decimal digits only, followed directly by one TAB");
                return false;
            }
        }
        return true;
    }

    void checkText(std::size_t textStart, std::size_t textEnd, int line, std::uint32_t id)
    {
        for (std::size_t i = textStart; i < textEnd; ++i) {
            if (u_[i] == u'\n' && !lineEndsReported_) {
                lineEndsReported_ = true;
                add("string-line-ends",
                    "line " + std::to_string(line) + " ends in LF without CR: the text of id " + std::to_string(id) +
                        " runs on into the lines after it, up to the next CR",
                    line, "end every line with CR LF");
                return;
            }
        }
        if (textEnd < end_ - 2) {
            if (u_[textEnd + 1] != u'\n' && !lineEndsReported_) {
                lineEndsReported_ = true;
                add("string-line-ends",
                    "line " + std::to_string(line) +
                        " ends in CR without LF: the first character after the CR is skipped",
                    line, "end every line with CR LF");
            }
            return;
        }
        // The search for CR stops two code units before the end: whatever
        // stands there is dropped.
        const std::u16string_view lost(u_.data() + end_ - 2, 2);
        if (lost != u"\r\n" && !lineEndsReported_)
            add("string-last-line",
                "the last line does not end in CR LF: its last two characters, \"" + shown(lost) + "\", are lost",
                line, "end the last line with CR LF too");
    }

    // The parse stopped before storing the entry at idText: no TAB up to the
    // end, or a TAB in the last three code units.
    void lastEntryLost(std::u16string_view idText, int idLine, std::size_t tab)
    {
        std::size_t skip = 0;
        while (skip < idText.size() && (isLineEnd(idText[skip]) || idText[skip] == u' '))
            ++skip;
        if (tab >= end_) {
            if (skip == idText.size())
                return; // blank lines at the end
            int line = idLine;
            for (std::size_t i = 0; i < skip; ++i)
                line += idText[i] == u'\n';
            add("string-bad-id", "line " + std::to_string(line) + " has no TAB: it is never read", line,
                "write each entry as id<TAB>text on one line");
            return;
        }
        const std::u16string_view text(u_.data() + tab + 1, end_ - tab - 1);
        if (text.empty() || text == u"\r\n" || text == u"\r" || text == u"\n")
            return; // an empty text, as if stored
        add("string-last-line",
            "the last line does not end in CR LF: its entry \"" + shown(idText) + "\" (\"" + shown(text) +
                "\") is not read at all",
            idLine, "end the last line with CR LF too");
    }

    void checkDuplicate(std::uint32_t id, int line)
    {
        const auto [earlier, fresh] = firstLines_.emplace(id, line);
        if (!fresh)
            add("string-duplicate-id",
                "id " + std::to_string(id) + " is given again (first on line " + std::to_string(earlier->second) +
                    "): the later line wins",
                line, "keep one line per id");
    }

    void add(const char* code, const std::string& message, int line, const char* hint)
    {
        findings_.add(finding(code, message, path_, line, std::string(hint)));
    }

    std::u16string u_;
    std::size_t end_;
    const std::string& path_;
    bool noByteOrderMark_ = false;
    bool lineEndsReported_ = false;
    std::unordered_map<std::uint32_t, int> firstLines_;
    base::FindingList findings_;
};

} // namespace

base::FindingList checkStringTable(const FileData& file, const std::string& path)
{
    const std::string_view bytes = file.view();
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return {};
    if (bytes.starts_with("\xFE\xFF")) {
        base::FindingList findings;
        findings.add(finding("string-table-encoding",
                             "the file is UTF-16 big-endian: every character reads byte-swapped", path, 1,
                             SaveAsUtf16));
        return findings;
    }
    if (const std::optional<std::string> encoding = eightBitEncoding(bytes)) {
        base::FindingList findings;
        findings.add(finding("string-table-encoding",
                             "the file reads as " + *encoding + " text, not UTF-16: its entries are not found", path,
                             1, SaveAsUtf16));
        return findings;
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(base::readLe16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2 * i));
    return Walk(std::move(units), path).run();
}

base::Finding unreadableStringTable(const FilePtr& file, const std::string& path, const std::string& message)
{
    std::optional<std::string> hint;
    if (hasData(file) && file->length > 0) {
        if (const std::optional<std::string> encoding = eightBitEncoding(file->view()))
            hint = "the file reads as " + *encoding + " text: " + SaveAsUtf16;
        else
            hint = SaveAsUtf16;
    }
    return finding("string-table-unreadable", message, path, std::nullopt, std::move(hint));
}

} // namespace Mod
