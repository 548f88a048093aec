#include "cli/finding_bytes.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace cli {

namespace {

void putNumber(std::string& out, std::uint32_t value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

void putText(std::string& out, const std::optional<std::string>& text)
{
    out += text ? '\1' : '\0';
    if (text) {
        putNumber(out, static_cast<std::uint32_t>(text->size()));
        out += *text;
    }
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool done() const { return bytes_.empty(); }

    std::string_view take(std::size_t size)
    {
        if (size > bytes_.size())
            throw std::runtime_error("findings: cut short");
        const std::string_view part = bytes_.substr(0, size);
        bytes_.remove_prefix(size);
        return part;
    }
    char flag() { return take(1)[0]; }
    std::uint32_t number()
    {
        std::uint32_t value = 0;
        std::memcpy(&value, take(sizeof value).data(), sizeof value);
        return value;
    }
    std::optional<std::string> text()
    {
        if (!flag())
            return std::nullopt;
        return std::string(take(number()));
    }

private:
    std::string_view bytes_;
};

} // namespace

std::string findingBytes(const Found& found)
{
    std::string out;
    putNumber(out, static_cast<std::uint32_t>(found.diagnostics.size()));
    for (const std::string& message : found.diagnostics)
        putText(out, message);
    for (const base::Finding& f : found.findings.all()) {
        out += static_cast<char>(f.level);
        for (const std::optional<std::string>& text : {std::optional(f.code), std::optional(f.message), f.hint,
                                                       f.screen, f.widget, f.file, f.member})
            putText(out, text);
        out += f.line ? '\1' : '\0';
        if (f.line)
            putNumber(out, static_cast<std::uint32_t>(*f.line));
    }
    return out;
}

Found findingsFromBytes(std::string_view bytes)
{
    Found found;
    Reader in(bytes);
    for (std::uint32_t count = in.number(); count > 0; --count)
        found.diagnostics.push_back(in.text().value_or(""));
    while (!in.done()) {
        base::Finding f;
        const char level = in.flag();
        if (level < 0 || level > static_cast<char>(base::FindingLevel::Note))
            throw std::runtime_error("findings: no such level");
        f.level = static_cast<base::FindingLevel>(level);
        f.code = in.text().value_or("");
        f.message = in.text().value_or("");
        f.hint = in.text();
        f.screen = in.text();
        f.widget = in.text();
        f.file = in.text();
        f.member = in.text();
        if (in.flag())
            f.line = static_cast<int>(in.number());
        found.findings.add(std::move(f));
    }
    return found;
}

} // namespace cli
