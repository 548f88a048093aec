// tise-cli commands over installations and mounted modules: modules, info,
// ls, cat, localise, screens, which.

#include "cli/command.h"

#include "cli/mount_arguments.h"
#include "data/ansi_text.h"
#include "data/archive_source.h"
#include "data/disk_file_source.h"
#include "data/localise_text.h"
#include "data/subfolder_source.h"
#include "data/installation_discovery.h"
#include "data/file_origin.h"
#include "data/folder_entries.h"
#include "data/text_compare.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>

namespace cli {

namespace {

constexpr std::size_t Any = SIZE_MAX;

Mod::ModContext mount(const Arguments& args)
{
    Mod::ModContext context;
    mountModule(context, args);
    return context;
}

int modules(const Arguments& args, std::ostream& out)
{
    for (const std::string& folder : args.positional) {
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error))
            warn("no folder " + folder);
    }
    Mod::DiskFileSource disk;
    for (const std::string& folder : Mod::findInstallations(Mod::currentEnvironment(), args.positional)) {
        for (const std::string& name : Mod::folderEntries(disk, folder, ".module")) {
            out << displayField(folder) << '\t' << displayField(name) << '\t'
                << displayField(Mod::moduleDescription(disk, folder + name)) << '\n';
        }
    }
    return 0;
}

// Whether folder, whose listing is empty, is there at all: the root, or a
// name that its parent folder lists and that is no file.
bool isEmptyFolder(Mod::FileSource& source, std::string folder)
{
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (folder.empty())
        return true;
    const std::size_t slash = folder.find_last_of("\\/");
    std::vector<std::string> names;
    source.list(slash == std::string::npos ? std::string() : folder.substr(0, slash), names);
    const std::string_view name = Mod::fileNameOf(folder);
    const auto same = [&](const std::string& entry) { return Mod::equalNoCase(entry, name); };
    return std::any_of(names.begin(), names.end(), same) && !Mod::hasData(source.open(folder));
}

// Game text as a JSON string.
std::string jsonText(std::string_view game) { return jsonString(displayText(game)); }

int info(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    out << "{\n  \"module\": " << jsonText(args.positional[0]) << ",\n  \"language\": " << jsonText(context.language)
        << ",\n  \"sources\": [";
    const char* separator = "\n    ";
    for (const auto& source : context.source->sources()) {
        if (const std::optional<Mod::FileOrigin> origin = Mod::describeSource(*source)) {
            out << separator << "{\"kind\": \"" << Mod::kindName(origin->kind)
                << "\", \"path\": " << jsonText(origin->source) << "}";
            separator = ",\n    ";
        }
    }
    out << (context.source->sources().empty() ? "" : "\n  ") << "],\n  \"stringTables\": [";
    separator = "\n    ";
    for (const std::string& path : context.stringTablePaths) {
        out << separator << jsonText(path);
        separator = ",\n    ";
    }
    out << (context.stringTablePaths.empty() ? "" : "\n  ") << "]\n}\n";
    return 0;
}

int ls(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    std::vector<std::string> names;
    context.source->list(args.positional[1], names);
    if (names.empty() && !isEmptyFolder(*context.source, args.positional[1]))
        warn("no folder " + args.positional[1] + " in the mounted module");
    for (const std::string& name : names)
        out << displayField(name) << '\n';
    return 0;
}

int cat(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    const Mod::FilePtr file = context.source->open(args.positional[1]);
    if (!Mod::hasData(file))
        throw std::runtime_error("File not found: " + args.positional[1]);
    out.write(file->data, file->length);
    return 0;
}

int localise(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    for (std::size_t i = 1; i < args.positional.size(); ++i)
        out << Mod::utf16ToUtf8(Mod::LocaliseText(args.positional[i].c_str(), context)) << '\n';
    return 0;
}

int screens(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    for (const std::string& name : Mod::folderEntries(*context.source, std::string(Mod::ScreensFolder), ".screen"))
        out << displayField(name) << '\n';
    return 0;
}

// Every source that holds the path, the one that serves it first.
int which(const Arguments& args, std::ostream& out)
{
    const Mod::ModContext context = mount(args);
    const std::vector<Mod::FileOrigin> origins = Mod::fileOrigins(*context.source, args.positional[1]);
    if (origins.empty())
        throw std::runtime_error("no source has " + args.positional[1]);
    for (const Mod::FileOrigin& origin : origins)
        out << Mod::kindName(origin.kind) << '\t' << displayField(origin.source) << '\t'
            << displayField(origin.location) << '\n';
    return 0;
}

} // namespace

void addDataCommands(std::vector<Command>& list)
{
    list.push_back({"modules", "[FOLDER...]", 0, Any, {}, {}, modules});
    list.push_back({"info", "MODULE", 1, 1, mountingValueOptions(), {}, info});
    list.push_back({"ls", "MODULE FOLDER", 2, 2, mountingValueOptions(), {}, ls});
    list.push_back({"cat", "MODULE PATH", 2, 2, mountingValueOptions(), {}, cat});
    list.push_back({"localise", "MODULE TEXT...", 2, Any, mountingValueOptions(), showingFlagOptions(), localise});
    list.push_back({"screens", "MODULE", 1, 1, mountingValueOptions(), {}, screens});
    list.push_back({"which", "MODULE PATH", 2, 2, mountingValueOptions(), {}, which});
}

} // namespace cli
