#include "data/module_file.h"

namespace Mod {

namespace {

bool isBlank(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

void ModuleFile::parse(std::string_view text)
{
    std::size_t pos = 0;
    int line = 1;
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos])) {
            // CR LF is one line end, as are LF and a lone CR.
            if (text[pos] == '\n' || (text[pos] == '\r' && (pos + 1 == text.size() || text[pos + 1] != '\n')))
                ++line;
            ++pos;
        }
        const std::size_t lineEnd = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string_view content = text.substr(pos, lineEnd - pos);
        pos = lineEnd;
        content = content.substr(0, content.find(';'));
        if (content.empty() || content.front() == '[')
            continue;
        const auto equals = content.find('=');
        if (equals == std::string_view::npos)
            continue;
        std::string key(trim(content.substr(0, equals)));
        lines_.insert_or_assign(key, line);
        values_.insert_or_assign(std::move(key), std::string(trim(content.substr(equals + 1))));
    }
}

std::string ModuleFile::get(const std::string& key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? std::string() : expand(found->second, nullptr);
}

std::optional<int> ModuleFile::line(const std::string& key) const
{
    const auto found = lines_.find(key);
    if (found == lines_.end())
        return std::nullopt;
    return found->second;
}

std::vector<std::string> ModuleFile::keys() const
{
    std::vector<std::string> keys;
    for (const auto& [key, value] : values_)
        keys.push_back(key);
    return keys;
}

std::vector<std::string> ModuleFile::unknownVariables(const std::string& key) const
{
    std::vector<std::string> unknown;
    if (const auto found = values_.find(key); found != values_.end())
        expand(found->second, &unknown);
    return unknown;
}

std::string ModuleFile::expand(const std::string& stored, std::vector<std::string>* unknown) const
{
    std::string value = stored;
    std::size_t pos = value.find('%');
    while (pos != std::string::npos) {
        const std::size_t close = value.find('%', pos + 1);
        if (close == std::string::npos)
            break; // a lone "%" stays as it is
        const std::string name = value.substr(pos + 1, close - pos - 1);
        const auto variable = variables_.find(name);
        std::size_t resume = close + 1;
        if (variable != variables_.end()) {
            value.replace(pos, close + 1 - pos, variable->second);
            resume = pos + variable->second.size();
        } else if (unknown) {
            unknown->push_back(name);
        }
        pos = value.find('%', resume);
    }
    return value;
}

std::string ModuleFile::getNumbered(const std::string& key, int index) const
{
    return get(key + "." + std::to_string(index));
}

void ModuleFile::setVariable(const std::string& name, const std::string& value)
{
    variables_.insert_or_assign(name, value);
}

std::string moduleDescription(FileSource& files, const std::string& path)
{
    const FilePtr file = files.open(path);
    return hasData(file) ? ModuleFile(*file).get("Description") : std::string();
}

} // namespace Mod
