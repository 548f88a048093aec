// Builds the sample installation from its text form: every folder named
// "X.sga.d" becomes the archive "X.sga" (packed by our SGA writer), every file
// "X.ucs.txt" becomes the UCS string table "X.ucs" (fixtures/ucs_builder.h;
// its "#!" flags make the broken tables of the sample's Firstlight mod),
// every "X.dds.txt" or "X.tga.txt" the texture it describes
// (fixtures/texture_text.h); other files are copied.
// usage: tise-mksample SOURCE_FOLDER OUTPUT_FOLDER

#include "data/sga_writer.h"
#include "fixtures/texture_text.h"
#include "fixtures/ucs_builder.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("Cannot write " + path.string());
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Files made from a text form: the name without ".txt" and the bytes made.
bool convertText(std::string& name, std::string& bytes)
{
    if (endsWith(name, ".ucs.txt"))
        bytes = Fixtures::ucsFromText(bytes);
    else if (endsWith(name, ".dds.txt") || endsWith(name, ".tga.txt"))
        bytes = Fixtures::textureFromText(bytes);
    else
        return false;
    name.resize(name.size() - 4);
    return true;
}

void build(const fs::path& source, const fs::path& target)
{
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(source)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && endsWith(name, ".sga.d")) {
            std::vector<Mod::SgaMember> members = Mod::readFolderMembers(entry.path().string());
            for (Mod::SgaMember& member : members)
                convertText(member.path, member.data);
            const std::string archive = Mod::writeSga(members);
            writeFile(target / name.substr(0, name.size() - 2), archive);
        } else if (entry.is_directory()) {
            build(entry.path(), target / name);
        } else {
            std::string made = name;
            std::string bytes = readFile(entry.path());
            if (convertText(made, bytes))
                writeFile(target / made, bytes);
            else
                fs::copy_file(entry.path(), target / name, fs::copy_options::overwrite_existing);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tise-mksample SOURCE_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        fs::remove_all(argv[2]);
        build(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "tise-mksample: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
