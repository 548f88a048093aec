#include "editor/start_request.h"

#include "base/diagnostic_log.h"
#include "data/disk_file_source.h"
#include "data/file_origin.h"
#include "data/folder_entries.h"
#include "data/installation_discovery.h"
#include "data/mount_module.h"
#include "data/text_compare.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace editor {

namespace fs = std::filesystem;

namespace {

bool named(const std::vector<std::string>& paths, std::string_view extension)
{
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& path) { return Mod::endsWithNoCase(path, extension); });
}

// The nearest folder above file that holds module files, "/"-terminated; empty when none does.
std::string installationOf(const fs::path& file)
{
    Mod::DiskFileSource disk;
    for (fs::path folder = file.parent_path();; folder = folder.parent_path()) {
        const std::string listed = Mod::normaliseInstallFolder(folder.string());
        if (!Mod::folderEntries(disk, listed, ".module").empty())
            return listed;
        if (folder == folder.parent_path())
            return {};
    }
}

// The module of installation whose mount serves file as the screen of that
// name: the first, in the module list's order, whose own folder holds the
// file, else the first that serves it through a module it requires; empty
// when none serves it.
std::string moduleServing(const std::string& installation, const fs::path& file)
{
    // Mounting every module of the installation is a search, not the module
    // the user opens: what their mounts find wrong is not the user's concern.
    const base::DiagnosticCapture quiet;
    Mod::DiskFileSource disk;
    const std::string screen = Mod::ScreensFolder + file.filename().string();
    const std::string relative = file.string().substr(installation.size());
    std::string firstServing;
    for (const std::string& name : Mod::folderEntries(disk, installation, ".module")) {
        Mod::ModContext context;
        try {
            Mod::MountModule(context, installation + name);
        } catch (const std::exception&) {
            continue;
        }
        const std::vector<Mod::FileOrigin> origins = Mod::fileOrigins(*context.source, screen);
        std::error_code error;
        if (origins.empty() || origins.front().kind != Mod::FileOrigin::Kind::Folder
            || !fs::equivalent(origins.front().location, file, error))
            continue;
        std::string modFolder = context.moduleFiles.empty() ? "" : context.moduleFiles.front()->get("ModFolder");
        std::replace(modFolder.begin(), modFolder.end(), '\\', '/');
        if (!modFolder.empty() && relative.size() > modFolder.size() && relative[modFolder.size()] == '/'
            && Mod::equalNoCase(std::string_view(relative).substr(0, modFolder.size()), modFolder))
            return installation + name;
        if (firstServing.empty())
            firstServing = installation + name;
    }
    return firstServing;
}

} // namespace

StartRequest resolveStartRequest(const CommandLine& line, const std::string& currentDirectory)
{
    if (line.screen && !named(line.paths, ".module"))
        throw CommandLineError(named(line.paths, ".screen") ? "give a .screen file or --screen, not both"
                                                            : "--screen needs a .module file to open the screen in");
    StartRequest request;
    request.language = line.language;
    for (const std::string& given : line.paths) {
        fs::path path = given;
        if (path.is_relative())
            path = fs::path(currentDirectory) / path;
        path = path.lexically_normal();
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status)) {
            request.folders.push_back(path.string());
        } else if (!fs::exists(status)) {
            request.problems.push_back("No such file or folder: " + given);
        } else if (Mod::endsWithNoCase(given, ".module")) {
            const std::string folder = Mod::normaliseInstallFolder(path.parent_path().string());
            request.folders.push_back(folder);
            if (request.module.empty()) {
                request.module = folder + path.filename().string();
                request.screen = line.screen;
            }
        } else if (Mod::endsWithNoCase(given, ".screen")) {
            const std::string installation = installationOf(path);
            if (installation.empty()) {
                request.problems.push_back("No module file in the folders above " + given
                                           + ", so no module can show it.");
                continue;
            }
            request.folders.push_back(installation);
            if (!request.module.empty())
                continue;
            const std::string module = moduleServing(installation, path);
            if (module.empty()) {
                request.problems.push_back("No module of " + installation + " serves " + given
                                           + " as a screen (a module serves the screens in Art\\UI\\Screens\\ of "
                                             "the data folders and archives it mounts); the modules are listed.");
                continue;
            }
            request.module = module;
            request.screen = path.filename().string();
        } else {
            request.problems.push_back("Not a folder, a .module file or a .screen file: " + given);
        }
    }
    return request;
}

} // namespace editor
