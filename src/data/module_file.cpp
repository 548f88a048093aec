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
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        const std::size_t lineEnd = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string_view content = text.substr(pos, lineEnd - pos);
        pos = lineEnd;
        content = content.substr(0, content.find(';'));
        if (content.empty() || content.front() == '[')
            continue;
        const auto equals = content.find('=');
        if (equals == std::string_view::npos)
            continue;
        values_.insert_or_assign(std::string(trim(content.substr(0, equals))),
                                 std::string(trim(content.substr(equals + 1))));
    }
}

std::string ModuleFile::get(const std::string& key) const
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return {};
    std::string value = found->second;
    std::size_t pos = value.find('%');
    while (pos != std::string::npos) {
        const std::size_t close = value.find('%', pos + 1);
        if (close == std::string::npos)
            break; // a lone "%" stays as it is
        const auto variable = variables_.find(value.substr(pos + 1, close - pos - 1));
        std::size_t resume = close + 1;
        if (variable != variables_.end()) {
            value.replace(pos, close + 1 - pos, variable->second);
            resume = pos + variable->second.size();
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
