#include "cli/check_report.h"

#include "base/version.h"
#include "cli/game_text.h"
#include "data/text_compare.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>
#include <vector>

namespace cli {

namespace {

using Json = nlohmann::ordered_json;
using base::Finding;
using base::FindingLevel;

std::string lastLine(const CheckResult& result)
{
    return std::to_string(result.screens) + " screens, " +
           std::to_string(result.findings.count(FindingLevel::Error)) + " errors, " +
           std::to_string(result.findings.count(FindingLevel::Warning)) + " warnings\n";
}

void writeText(const CheckResult& result, std::ostream& out)
{
    for (const Finding& finding : result.findings.all()) {
        if (finding.level == FindingLevel::Note)
            continue;
        std::string_view where = result.module;
        if (finding.screen)
            where = *finding.screen;
        else if (finding.file)
            where = *finding.file;
        if (!finding.screen)
            where = Mod::fileNameOf(where);
        out << displayField(where) << ": " << base::levelName(finding.level) << ": " << displayField(finding.message)
            << '\n';
    }
    out << lastLine(result);
}

// FILE:LINE, ARCHIVE[MEMBER]:LINE or FILE alone.
std::string gnuPlace(const CheckResult& result, const Finding& finding)
{
    std::string place;
    if (finding.file) {
        place = displayField(*finding.file);
        if (finding.member)
            place += "[" + displayField(*finding.member) + "]";
    } else {
        place = displayField(finding.screen ? *finding.screen : result.module);
    }
    if (finding.line)
        place += ":" + std::to_string(*finding.line);
    return place;
}

void writeGnu(const CheckResult& result, std::ostream& out)
{
    for (const Finding& finding : result.findings.all()) {
        const std::string place = gnuPlace(result, finding);
        out << place << ": " << base::levelName(finding.level) << ": " << displayField(finding.message) << '\n';
        if (finding.hint)
            out << place << ": note: " << displayField(*finding.hint) << '\n';
    }
    out << lastLine(result);
}

Json text(const std::optional<std::string>& game) { return game ? Json(displayText(*game)) : Json(nullptr); }

Json findingJson(const Finding& finding)
{
    Json json;
    json["level"] = base::levelName(finding.level);
    json["code"] = displayText(finding.code);
    json["message"] = displayText(finding.message);
    json["hint"] = text(finding.hint);
    json["screen"] = text(finding.screen);
    json["widget"] = text(finding.widget);
    json["file"] = text(finding.file);
    json["member"] = text(finding.member);
    json["line"] = finding.line ? Json(*finding.line) : Json(nullptr);
    return json;
}

void writeJson(const CheckResult& result, std::ostream& out)
{
    Json json;
    json["module"] = displayText(result.module);
    json["screens"] = result.screens;
    json["errors"] = result.findings.count(FindingLevel::Error);
    json["warnings"] = result.findings.count(FindingLevel::Warning);
    json["findings"] = Json::array();
    for (const Finding& finding : result.findings.all())
        json["findings"].push_back(findingJson(finding));
    out << json.dump(2) << '\n';
}

// What each code means, for the rules of a SARIF log.
const std::map<std::string_view, std::string_view>& ruleDescriptions()
{
    static const std::map<std::string_view, std::string_view> descriptions{
        {"required-mod-missing", "A RequiredMod names no module"},
        {"mod-folder-missing", "The ModFolder names no folder"},
        {"data-folder-missing", "A DataFolder names no folder, or an empty one"},
        {"archive-unreadable", "An ArchiveFile cannot be opened"},
        {"numbered-key-gap", "A numbered key after a missing number is never read"},
        {"unknown-variable", "A %NAME% that no variable matches is left as it is"},
        {"language-choice", "The language chosen, and why"},
        {"string-table-unreadable", "A string table is too short or of odd length"},
        {"string-table-no-bom", "A string table has no UTF-16 byte order mark"},
        {"string-table-encoding", "A string table reads as UTF-8 or ANSI text rather than UTF-16"},
        {"string-bad-id", "A string table line has an id that is not a number, or no TAB"},
        {"string-last-line", "A string table's last line has no CR LF and loses its last two characters"},
        {"string-duplicate-id", "A string table has the same id twice; the later line wins"},
        {"load-error", "The screen failed to load"},
        {"no-screen-table", "The screen file leaves no Screen table"},
        {"string-missing", "A $ text is in no string table"},
        {"style-sheet-missing", "A style sheet does not exist"},
        {"style-missing", "A style is not in its sheet"},
        {"unknown-key", "A key of a widget or art table is never read"},
        {"bad-value", "A value of a kind or keyword that is ignored"},
        {"colour-key-missing", "A colour key is not in the colour table"},
        {"tooltip-missing", "A tooltip_name names no tooltip widget"},
        {"duplicate-name", "Two widgets have the same name"},
        {"unknown-type", "A widget or art type the game does not know"},
        {"font-fallback", "A font fell back to Microsoft Sans Serif"},
        {"texture-missing", "A texture resolves to no file"},
        {"texture-invalid", "A texture does not decode"},
        {"texture-no-name", "A Graphic has no texture name"},
        {"text-overflow", "A text is larger than its box"},
    };
    return descriptions;
}

// A path as a URI reference: the bytes outside the characters a URI
// allows written as %XX, so a plain relative or absolute path stays as it is.
std::string uriOf(const std::string& path)
{
    static constexpr std::string_view allowed = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                "-._~!$&'()*+,;=:@/";
    std::string uri;
    for (const char c : displayText(path)) {
        if (allowed.find(c) != std::string_view::npos) {
            uri += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        }
    }
    return uri;
}

void writeSarif(const CheckResult& result, std::ostream& out)
{
    Json rules = Json::array();
    std::map<std::string, std::size_t> ruleIndex;
    Json results = Json::array();
    for (const Finding& finding : result.findings.all()) {
        const std::string code = displayText(finding.code);
        auto [rule, added] = ruleIndex.emplace(code, ruleIndex.size());
        if (added) {
            const auto known = ruleDescriptions().find(code);
            Json entry;
            entry["id"] = code;
            entry["shortDescription"]["text"] =
                known != ruleDescriptions().end() ? std::string(known->second) : code;
            rules.push_back(entry);
        }
        Json item;
        item["ruleId"] = code;
        item["ruleIndex"] = rule->second;
        item["level"] = base::levelName(finding.level);
        item["message"]["text"] = displayText(finding.message);
        if (finding.file) {
            Json location;
            location["physicalLocation"]["artifactLocation"]["uri"] = uriOf(*finding.file);
            if (finding.line)
                location["physicalLocation"]["region"]["startLine"] = *finding.line;
            item["locations"] = Json::array({location});
        }
        Json properties = Json::object();
        const std::pair<const char*, const std::optional<std::string>*> extras[] = {
            {"member", &finding.member}, {"screen", &finding.screen}, {"widget", &finding.widget},
            {"hint", &finding.hint}};
        for (const auto& [name, value] : extras)
            if (*value)
                properties[name] = displayText(**value);
        if (!properties.empty())
            item["properties"] = properties;
        results.push_back(item);
    }

    Json driver;
    driver["name"] = "tise-cli";
    driver["version"] = toolVersion();
    driver["rules"] = rules;
    Json run;
    run["tool"]["driver"] = driver;
    run["results"] = results;
    Json log;
    log["$schema"] = "https://json.schemastore.org/sarif-2.1.0.json";
    log["version"] = "2.1.0";
    log["runs"] = Json::array({run});
    out << log.dump(2) << '\n';
}

} // namespace

std::optional<CheckFormat> checkFormatNamed(std::string_view name)
{
    if (name == "text")
        return CheckFormat::Text;
    if (name == "gnu")
        return CheckFormat::Gnu;
    if (name == "json")
        return CheckFormat::Json;
    if (name == "sarif")
        return CheckFormat::Sarif;
    return std::nullopt;
}

void writeCheckResult(const CheckResult& result, CheckFormat format, std::ostream& out)
{
    switch (format) {
    case CheckFormat::Text: writeText(result, out); return;
    case CheckFormat::Gnu: writeGnu(result, out); return;
    case CheckFormat::Json: writeJson(result, out); return;
    case CheckFormat::Sarif: writeSarif(result, out); return;
    }
}

std::string_view toolVersion() { return base::programVersion(); }

} // namespace cli
