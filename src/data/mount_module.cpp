#include "data/mount_module.h"

#include "base/diagnostic_log.h"
#include "data/archive_source.h"
#include "data/disk_file_source.h"
#include "data/mount_report.h"
#include "data/subfolder_source.h"
#include "data/text_compare.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>

namespace Mod {

void ModContext::reset()
{
    source.reset();
    stringTables.clear();
    moduleFiles.clear();
    language.clear();
    stringTablePaths.clear();
    ownLanguage.clear();
    offeredLanguages.clear();
    pseudoLocalise = false;
    root.clear();
    ownSourceCount = 0;
    moduleFilePaths.clear();
    findings.clear();
    disk.reset();
}

std::vector<std::string> ModContext::diskPaths() const { return disk ? disk->pathsRead() : std::vector<std::string>(); }

namespace {

class Mounter {
public:
    Mounter(ModContext& context, std::shared_ptr<DiskFileSource> disk, MountReport& report)
        : context_(context), disk_(std::move(disk)), report_(report)
    {
    }

    std::vector<std::string> list(const std::string& folder)
    {
        std::vector<std::string> names;
        disk_->list(folder, names);
        return names;
    }

    // The archive's message when it fails to open.
    std::optional<std::string> mountArchive(const std::string& path)
    {
        disk_->noteRead(path);
        try {
            context_.source->append(std::make_unique<ArchiveSource>(path, &disk_->resolver()));
        } catch (const std::exception& error) {
            base::writeDiagnostic(error.what());
            return error.what();
        }
        return std::nullopt;
    }

    void loadStringTable(const std::string& path)
    {
        const FilePtr file = disk_->open(path);
        try {
            context_.stringTables.push_back(std::make_unique<StringTable>(file));
            context_.stringTablePaths.push_back(path);
        } catch (const std::exception& error) {
            // The file as the user finds it on disk, so a large mod's broken table can be told apart.
            const std::string posix = disk_->resolver().resolve(path).value_or(toPosixSeparators(path));
            base::writeDiagnostic(posix + ": " + error.what());
            report_.stringTableFailed(file, path, error.what());
            return;
        }
        report_.stringTableLoaded(*file, path);
    }

    bool mountFolder(const std::string& prefix)
    {
        if (list(prefix).empty())
            return false;
        context_.source->append(std::make_unique<SubfolderSource>(disk_, prefix));
        return true;
    }

private:
    ModContext& context_;
    std::shared_ptr<DiskFileSource> disk_;
    MountReport& report_;
};

std::string chooseLanguage(const ModContext& context, const std::string& root, Mounter& mounter, MountReport& report)
{
    std::set<std::string> candidates; // byte order
    bool any = false;
    for (const auto& module : context.moduleFiles) {
        const std::vector<std::string> names = mounter.list(root + module->get("ModFolder") + "\\Locale");
        report.languagesOffered(static_cast<std::size_t>(&module - context.moduleFiles.data()), names);
        if (names.empty())
            continue;
        if (!any) {
            candidates.insert(names.begin(), names.end());
            any = true;
        } else {
            const std::set<std::string> offered(names.begin(), names.end());
            std::erase_if(candidates, [&](const std::string& name) { return !offered.count(name); });
        }
    }
    const std::string language = candidates.empty() ? "English" : *candidates.begin();
    report.languageChosen(language);
    return language;
}

// The language folders in the modules' and the engine's Locale folders.
std::vector<std::string> offeredLanguages(const ModContext& context, const std::string& root, Mounter& mounter,
                                          DiskFileSource& disk)
{
    std::vector<std::string> locales;
    for (const auto& module : context.moduleFiles)
        locales.push_back(root + module->get("ModFolder") + "\\Locale\\");
    locales.push_back(root + "Engine\\Locale\\");
    std::vector<std::string> offered;
    for (const std::string& locale : locales) {
        for (const std::string& name : mounter.list(locale)) {
            const std::optional<std::string> path = disk.resolver().resolve(locale + name);
            std::error_code error;
            const bool known = std::any_of(offered.begin(), offered.end(),
                                           [&](const std::string& seen) { return equalNoCase(seen, name); });
            if (!known && path && std::filesystem::is_directory(*path, error))
                offered.push_back(name);
        }
    }
    std::sort(offered.begin(), offered.end());
    return offered;
}

} // namespace

void MountModule(ModContext& context, const std::string& modulePath, const MountOptions& options)
{
    context.reset();
    auto disk = std::make_shared<DiskFileSource>();
    context.disk = disk;
    const FilePtr moduleData = disk->open(modulePath);
    if (!hasData(moduleData))
        throw std::runtime_error("Cannot open module file " + modulePath);

    const auto slash = modulePath.find_last_of("\\/");
    const std::string root = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
    MountReport report(context, *disk, root);
    Mounter mounter(context, disk, report);
    context.moduleFiles.push_back(std::make_unique<ModuleFile>(*moduleData));
    context.moduleFilePaths.push_back(modulePath);

    int required = 1;
    for (;; ++required) {
        const std::string name = context.moduleFiles.front()->getNumbered("RequiredMod", required);
        if (name.empty())
            break;
        const std::string path = root + name + ".module";
        if (const FilePtr file = disk->open(path); hasData(file)) {
            context.moduleFiles.push_back(std::make_unique<ModuleFile>(*file));
            context.moduleFilePaths.push_back(disk->resolver().resolve(path).value_or(path));
        } else {
            report.requiredModMissing(required, name);
        }
    }
    report.keysRead(0, "RequiredMod", required);

    context.root = root;
    context.ownLanguage = chooseLanguage(context, root, mounter, report);
    context.offeredLanguages = offeredLanguages(context, root, mounter, *disk);
    context.language = options.language.empty() ? context.ownLanguage : options.language;
    context.pseudoLocalise = options.pseudoLocalise;
    context.source = std::make_shared<CompositeSource>();

    for (std::size_t m = 0; m < context.moduleFiles.size(); ++m) {
        ModuleFile* module = context.moduleFiles[m].get();
        module->setVariable("LOCALE", "Locale\\" + context.language);
        module->setVariable("TEXTURE-LEVEL", "Full");
        module->setVariable("SOUND-LEVEL", "Full");
        module->setVariable("MODEL-LEVEL", "High");
        const std::string modFolder = root + module->get("ModFolder") + "\\";
        report.modFolder(m, root + module->get("ModFolder"));
        int i = 1;
        for (;; ++i) {
            const std::string folder = module->getNumbered("DataFolder", i);
            if (folder.empty())
                break;
            report.dataFolder(m, i, modFolder + folder + "\\", mounter.mountFolder(modFolder + folder + "\\"));
        }
        report.keysRead(m, "DataFolder", i);
        for (i = 1;; ++i) {
            const std::string archive = module->getNumbered("ArchiveFile", i);
            if (archive.empty())
                break;
            report.archiveFile(m, i, modFolder + archive + ".sga", mounter.mountArchive(modFolder + archive + ".sga"));
        }
        report.keysRead(m, "ArchiveFile", i);
        const std::string localeFolder = modFolder + "Locale\\" + context.language + "\\";
        for (const std::string& name : mounter.list(localeFolder)) {
            if (endsWithNoCase(name, ".ucs"))
                mounter.loadStringTable(localeFolder + name);
        }
        if (m == 0)
            context.ownSourceCount = context.source->sources().size();
    }

    const std::string engineLocale = root + "Engine\\Locale\\" + context.language + "\\";
    for (const std::string& name : mounter.list(engineLocale)) {
        if (endsWithNoCase(name, ".sga")) {
            if (const auto failed = mounter.mountArchive(engineLocale + name))
                report.engineArchiveFailed(engineLocale + name, *failed);
        } else if (endsWithNoCase(name, ".ucs")) {
            mounter.loadStringTable(engineLocale + name);
        }
    }
    const std::string engine = root + "Engine\\";
    for (const std::string& name : mounter.list(engine)) {
        if (endsWithNoCase(name, ".sga")) {
            if (const auto failed = mounter.mountArchive(engine + name))
                report.engineArchiveFailed(engine + name, *failed);
        }
    }
}

} // namespace Mod
