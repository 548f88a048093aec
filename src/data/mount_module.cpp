#include "data/mount_module.h"

#include "base/diagnostic_log.h"
#include "data/archive_source.h"
#include "data/disk_file_source.h"
#include "data/subfolder_source.h"
#include "data/text_compare.h"

#include <algorithm>
#include <exception>
#include <filesystem>
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
    findings.clear();
    disk.reset();
}

std::vector<std::string> ModContext::diskPaths() const { return disk ? disk->pathsRead() : std::vector<std::string>(); }

namespace {

class Mounter {
public:
    Mounter(ModContext& context, std::shared_ptr<DiskFileSource> disk) : context_(context), disk_(std::move(disk)) {}

    std::vector<std::string> list(const std::string& folder)
    {
        std::vector<std::string> names;
        disk_->list(folder, names);
        return names;
    }

    void mountArchive(const std::string& path)
    {
        disk_->noteRead(path);
        try {
            context_.source->append(std::make_unique<ArchiveSource>(path, &disk_->resolver()));
        } catch (const std::exception& error) {
            base::writeDiagnostic(error.what());
        }
    }

    void loadStringTable(const std::string& path)
    {
        try {
            context_.stringTables.push_back(std::make_unique<StringTable>(disk_->open(path)));
            context_.stringTablePaths.push_back(path);
        } catch (const std::exception& error) {
            // The file as the user finds it on disk, so a large mod's broken table can be told apart.
            const std::string posix = disk_->resolver().resolve(path).value_or(toPosixSeparators(path));
            base::writeDiagnostic(posix + ": " + error.what());
        }
    }

    void mountFolder(const std::string& prefix)
    {
        if (!list(prefix).empty())
            context_.source->append(std::make_unique<SubfolderSource>(disk_, prefix));
    }

private:
    ModContext& context_;
    std::shared_ptr<DiskFileSource> disk_;
};

std::string chooseLanguage(const ModContext& context, const std::string& root, Mounter& mounter)
{
    std::set<std::string> candidates; // byte order
    bool any = false;
    for (const auto& module : context.moduleFiles) {
        const std::vector<std::string> names = mounter.list(root + module->get("ModFolder") + "\\Locale");
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
    return candidates.empty() ? "English" : *candidates.begin();
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
    Mounter mounter(context, disk);

    const auto slash = modulePath.find_last_of("\\/");
    const std::string root = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
    context.moduleFiles.push_back(std::make_unique<ModuleFile>(*moduleData));

    for (int i = 1;; ++i) {
        const std::string required = context.moduleFiles.front()->getNumbered("RequiredMod", i);
        if (required.empty())
            break;
        if (const FilePtr file = disk->open(root + required + ".module"); hasData(file))
            context.moduleFiles.push_back(std::make_unique<ModuleFile>(*file));
    }

    context.root = root;
    context.ownLanguage = chooseLanguage(context, root, mounter);
    context.offeredLanguages = offeredLanguages(context, root, mounter, *disk);
    context.language = options.language.empty() ? context.ownLanguage : options.language;
    context.pseudoLocalise = options.pseudoLocalise;
    context.source = std::make_shared<CompositeSource>();

    for (const auto& module : context.moduleFiles) {
        module->setVariable("LOCALE", "Locale\\" + context.language);
        module->setVariable("TEXTURE-LEVEL", "Full");
        module->setVariable("SOUND-LEVEL", "Full");
        module->setVariable("MODEL-LEVEL", "High");
        const std::string modFolder = root + module->get("ModFolder") + "\\";
        for (int i = 1;; ++i) {
            const std::string folder = module->getNumbered("DataFolder", i);
            if (folder.empty())
                break;
            mounter.mountFolder(modFolder + folder + "\\");
        }
        for (int i = 1;; ++i) {
            const std::string archive = module->getNumbered("ArchiveFile", i);
            if (archive.empty())
                break;
            mounter.mountArchive(modFolder + archive + ".sga");
        }
        const std::string localeFolder = modFolder + "Locale\\" + context.language + "\\";
        for (const std::string& name : mounter.list(localeFolder)) {
            if (endsWithNoCase(name, ".ucs"))
                mounter.loadStringTable(localeFolder + name);
        }
        if (module == context.moduleFiles.front())
            context.ownSourceCount = context.source->sources().size();
    }

    const std::string engineLocale = root + "Engine\\Locale\\" + context.language + "\\";
    for (const std::string& name : mounter.list(engineLocale)) {
        if (endsWithNoCase(name, ".sga"))
            mounter.mountArchive(engineLocale + name);
        else if (endsWithNoCase(name, ".ucs"))
            mounter.loadStringTable(engineLocale + name);
    }
    const std::string engine = root + "Engine\\";
    for (const std::string& name : mounter.list(engine)) {
        if (endsWithNoCase(name, ".sga"))
            mounter.mountArchive(engine + name);
    }
}

} // namespace Mod
