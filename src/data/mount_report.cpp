#include "data/mount_report.h"

#include "base/closest_name.h"
#include "data/disk_file_source.h"
#include "data/mod_context.h"
#include "data/string_table_check.h"
#include "data/text_compare.h"

#include <algorithm>
#include <set>

namespace Mod {

namespace {

std::string fileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string moduleName(const std::string& path)
{
    std::string name = fileName(path);
    if (endsWithNoCase(name, ".module"))
        name.resize(name.size() - 7);
    return name;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

// "12" but not "012" or "": the form the mount's ".%d" lookup writes.
std::optional<int> canonicalNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0'))
        return std::nullopt;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

} // namespace

MountReport::MountReport(ModContext& context, DiskFileSource& disk, std::string root)
    : context_(context), disk_(disk), root_(std::move(root))
{
}

std::string MountReport::diskPath(const std::string& path) const
{
    return disk_.resolver().resolve(path).value_or(toPosixSeparators(path));
}

void MountReport::add(std::size_t module, const std::string& key, const char* code, std::string message,
                      std::optional<std::string> hint)
{
    base::Finding finding;
    finding.code = code;
    finding.message = std::move(message);
    finding.hint = std::move(hint);
    finding.file = context_.moduleFilePaths.at(module);
    finding.line = context_.moduleFiles.at(module)->line(key);
    context_.findings.add(std::move(finding));
}

std::optional<std::string> MountReport::nearNames(const std::string& folder, const std::string& name,
                                                  const std::string& suffix) const
{
    std::vector<std::string> entries;
    disk_.list(folder, entries);
    std::vector<std::string> stems;
    for (const std::string& entry : entries) {
        if (suffix.empty())
            stems.push_back(entry);
        else if (endsWithNoCase(entry, suffix))
            stems.push_back(entry.substr(0, entry.size() - suffix.size()));
    }
    const std::vector<std::string_view> known(stems.begin(), stems.end());
    return base::didYouMean(base::closestNames(name, known));
}

void MountReport::requiredModMissing(int index, const std::string& name)
{
    const std::string key = "RequiredMod." + std::to_string(index);
    add(0, key, "required-mod-missing",
        key + " names \"" + name + "\", but there is no " + name +
            ".module beside this module: nothing of that mod is mounted",
        nearNames(root_, name, ".module"));
}

void MountReport::languagesOffered(std::size_t module, const std::vector<std::string>& names)
{
    if (offered_.size() <= module)
        offered_.resize(module + 1);
    offered_[module] = names;
    std::sort(offered_[module].begin(), offered_[module].end());
}

void MountReport::languageChosen(const std::string& language)
{
    std::vector<std::size_t> offering;
    for (std::size_t m = 0; m < offered_.size(); ++m)
        if (!offered_[m].empty())
            offering.push_back(m);
    const bool disagree = std::any_of(offering.begin(), offering.end(),
                                      [&](std::size_t m) { return offered_[m] != offered_[offering.front()]; });
    if (!disagree)
        return;
    std::string offers;
    std::set<std::string> common(offered_[offering.front()].begin(), offered_[offering.front()].end());
    for (const std::size_t m : offering) {
        offers += (offers.empty() ? "" : "; ") + moduleName(context_.moduleFilePaths.at(m)) + " offers " +
                  joined(offered_[m]);
        std::erase_if(common, [&](const std::string& name) {
            return !std::binary_search(offered_[m].begin(), offered_[m].end(), name);
        });
    }
    std::string message = "language " + language + ": ";
    if (common.empty())
        message += "no language is offered by every mod (" + offers + ")";
    else if (common.size() == 1)
        message += "the only language every mod offers (" + offers + ")";
    else
        message += "the first in byte order of those every mod offers, " +
                   joined(std::vector<std::string>(common.begin(), common.end())) + " (" + offers + ")";
    base::Finding finding;
    finding.level = base::FindingLevel::Note;
    finding.code = "language-choice";
    finding.message = std::move(message);
    finding.file = context_.moduleFilePaths.front();
    context_.findings.add(std::move(finding));
}

bool MountReport::modFolder(std::size_t module, const std::string& folder)
{
    if (folderMissing_.size() <= module)
        folderMissing_.resize(module + 1);
    unknownVariables(module, "ModFolder");
    std::vector<std::string> entries;
    disk_.list(folder.empty() ? "." : folder, entries);
    if (!entries.empty())
        return true;
    folderMissing_[module] = true;
    const std::string value = context_.moduleFiles.at(module)->get("ModFolder");
    const std::optional<std::string> found = disk_.resolver().resolve(folder);
    add(module, "ModFolder", "mod-folder-missing",
        "ModFolder names \"" + value + "\", but " +
            (found ? "the folder " + *found + " is empty" : "there is no folder " + toPosixSeparators(folder)) +
            ": nothing of this module's folders is mounted",
        found ? std::nullopt : nearNames(root_, value));
    return false;
}

void MountReport::dataFolder(std::size_t module, int index, const std::string& folder, bool mounted)
{
    if (mounted || folderMissing_.at(module))
        return;
    const std::string key = "DataFolder." + std::to_string(index);
    const std::string value = context_.moduleFiles.at(module)->get(key);
    const std::optional<std::string> found = disk_.resolver().resolve(folder);
    std::string shown = toPosixSeparators(folder);
    if (!shown.empty() && shown.back() == '/')
        shown.pop_back();
    add(module, key, "data-folder-missing",
        key + " names \"" + value + "\", but " +
            (found ? "the folder " + shown + " is empty" : "there is no folder " + shown) + ": it is not mounted",
        found ? std::nullopt : nearNames(folder.substr(0, folder.size() - value.size() - 1), value));
}

void MountReport::archiveFile(std::size_t module, int index, const std::string& path,
                              const std::optional<std::string>& message)
{
    if (!message || folderMissing_.at(module))
        return;
    const std::string key = "ArchiveFile." + std::to_string(index);
    const std::string value = context_.moduleFiles.at(module)->get(key);
    std::optional<std::string> hint;
    if (endsWithNoCase(value, ".sga"))
        hint = "the mount adds \".sga\" itself: write " + key + " = " + value.substr(0, value.size() - 4);
    else if (!disk_.resolver().resolve(path))
        hint = nearNames(path.substr(0, path.size() - value.size() - 4), value, ".sga");
    else
        hint = "an archive must be an SGA archive of version 2 (tise-cli sga pack makes one)";
    add(module, key, "archive-unreadable", *message, std::move(hint));
}

void MountReport::engineArchiveFailed(const std::string& path, const std::string& message)
{
    base::Finding finding;
    finding.code = "archive-unreadable";
    finding.message = message;
    finding.file = diskPath(path);
    context_.findings.add(std::move(finding));
}

void MountReport::keysRead(std::size_t module, const std::string& key, int stop)
{
    const ModuleFile& file = *context_.moduleFiles.at(module);
    const std::string prefix = key + ".";
    std::vector<std::string> keys = file.keys();
    std::sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
        return file.line(a).value_or(0) < file.line(b).value_or(0);
    });
    for (const std::string& numbered : keys) {
        if (!numbered.starts_with(prefix))
            continue;
        const std::optional<int> number = canonicalNumber(std::string_view(numbered).substr(prefix.size()));
        if (number && *number >= 1 && *number < stop) {
            unknownVariables(module, numbered);
            continue;
        }
        std::string why;
        if (number && *number > stop)
            why = key + "." + std::to_string(stop) + (file.line(key + "." + std::to_string(stop)) ? " is empty"
                                                                                                  : " is missing");
        else if (number && *number == 0)
            why = "numbers start at 1";
        else if (number)
            continue; // the empty key that ended the list
        else
            why = "the mount reads only " + key + ".1, " + key + ".2, ... (decimal, without leading zeros)";
        add(module, numbered, "numbered-key-gap", numbered + " is never read: " + why,
            "number the " + key + " keys 1, 2, 3, ... without a gap");
    }
}

void MountReport::unknownVariables(std::size_t module, const std::string& key)
{
    static const std::vector<std::string_view> known{"LOCALE", "TEXTURE-LEVEL", "SOUND-LEVEL", "MODEL-LEVEL"};
    for (const std::string& name : context_.moduleFiles.at(module)->unknownVariables(key)) {
        std::optional<std::string> hint;
        if (const std::optional<std::string> near = base::closestName(name, known))
            hint = "did you mean `%" + *near + "%`?";
        else
            hint = "the variables are %LOCALE%, %TEXTURE-LEVEL%, %SOUND-LEVEL% and %MODEL-LEVEL%";
        if (key.starts_with("RequiredMod."))
            hint = "no variable is expanded in RequiredMod";
        add(module, key, "unknown-variable", key + ": no variable is named %" + name + "%, so it stays as written",
            std::move(hint));
    }
}

void MountReport::stringTableLoaded(const FileData& file, const std::string& path)
{
    context_.findings.append(checkStringTable(file, diskPath(path)));
}

void MountReport::stringTableFailed(const FilePtr& file, const std::string& path, const std::string& message)
{
    context_.findings.add(unreadableStringTable(file, diskPath(path), message));
}

} // namespace Mod
