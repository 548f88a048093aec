#include "screen/screen_findings.h"

#include "data/file_origin.h"
#include "screen/art_item.h"
#include "screen/widget.h"

#include <cstdlib>

namespace screen {

ScreenFindings::ScreenFindings(const Mod::ModContext& module, std::string path)
    : module_(&module), path_(std::move(path))
{
}

base::Finding ScreenFindings::located(const char* code, std::string message, std::optional<std::string> hint,
                                      std::optional<int> line, const std::string* widget)
{
    if (!location_) {
        location_.emplace();
        if (std::optional<Mod::FileLocation> found = Mod::locateFile(*module_, path_)) {
            location_->first = std::move(found->file);
            location_->second = std::move(found->member);
        }
    }
    base::Finding finding;
    finding.code = code;
    finding.message = std::move(message);
    finding.hint = std::move(hint);
    if (widget)
        finding.widget = *widget;
    finding.file = location_->first;
    finding.member = location_->second;
    finding.line = location_->first ? line : std::nullopt;
    return finding;
}

void ScreenFindings::add(const char* code, std::string message, std::optional<std::string> hint,
                         std::optional<int> line)
{
    findings_.add(located(code, std::move(message), std::move(hint), line, nullptr));
}

void ScreenFindings::add(const char* code, std::string message, std::optional<std::string> hint,
                         const Widget& widget)
{
    findings_.add(located(code, std::move(message), std::move(hint), widget.line(), &widget.name()));
}

void ScreenFindings::add(const char* code, std::string message, std::optional<std::string> hint, const ArtItem& art)
{
    const Widget* owner = art.widget();
    std::optional<int> line = art.line();
    if (!line && owner)
        line = owner->line();
    findings_.add(located(code, std::move(message), std::move(hint), line, owner ? &owner->name() : nullptr));
}

void ScreenFindings::addOnce(const char* code, std::string message, std::optional<std::string> hint,
                             const ArtItem& art)
{
    if (once_.emplace(code, message).second)
        add(code, std::move(message), std::move(hint), art);
}

base::Finding ScreenFindings::loadError(std::string message, std::optional<int> line)
{
    base::Finding finding = located("load-error", std::move(message), std::nullopt, line, nullptr);
    finding.level = base::FindingLevel::Error;
    return finding;
}

std::optional<int> luaMessageLine(const std::string& message)
{
    static const std::string Chunk = "slice:";
    const std::size_t at = message.find(Chunk);
    if (at == std::string::npos)
        return std::nullopt;
    const char* digits = message.c_str() + at + Chunk.size();
    char* end = nullptr;
    const long line = std::strtol(digits, &end, 10);
    if (end == digits || *end != ':' || line < 1 || line > 1'000'000'000)
        return std::nullopt;
    return static_cast<int>(line);
}

} // namespace screen
