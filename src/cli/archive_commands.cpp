// tise-cli sga: list, read and write SGA archives.

#include "cli/command.h"

#include "app/output_file.h"
#include "data/archive_source.h"
#include "data/sga_writer.h"

#include <filesystem>
#include <fstream>

namespace cli {

namespace {

int listArchive(const Arguments& args, std::ostream& out)
{
    const Mod::ArchiveSource archive(args.positional[0]);
    for (const auto& member : archive.members())
        out << displayField(member.path) << '\t' << member.storedLength << '\t' << member.fullLength << '\n';
    return 0;
}

int catMember(const Arguments& args, std::ostream& out)
{
    Mod::ArchiveSource archive(args.positional[0]);
    const Mod::FilePtr file = archive.open(args.positional[1]);
    if (!Mod::hasData(file))
        throw std::runtime_error("File not found: " + args.positional[1]);
    out.write(file->data, file->length);
    return 0;
}

int packFolder(const Arguments& args, std::ostream&)
{
    const std::string& folder = args.positional[0];
    const std::string output = args.option("-o", true);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        throw std::runtime_error("Cannot read folder " + folder);
    const std::string archive = Mod::writeSga(Mod::readFolderMembers(folder), !args.has("--store"));
    app::writeOutputFile(output, archive);
    return 0;
}

} // namespace

void addArchiveCommands(std::vector<Command>& list)
{
    list.push_back({"sga list", "ARCHIVE", 1, 1, {}, {}, listArchive});
    list.push_back({"sga cat", "ARCHIVE PATH", 2, 2, {}, {}, catMember});
    list.push_back({"sga pack", "FOLDER -o ARCHIVE [--store]", 1, 1, {"-o"}, {"--store"}, packFolder});
}

} // namespace cli
