#include "data/sga_writer.h"

#include "data/text_compare.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <zlib.h>

namespace Mod {

namespace {

void put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

void checkCount(std::size_t value)
{
    if (value > 0xFFFF)
        throw std::runtime_error("SGA archive too large: more than 65535 folders or files");
}

void put16(std::string& out, std::uint32_t value)
{
    checkCount(value);
    out.push_back(static_cast<char>(value));
    out.push_back(static_cast<char>(value >> 8));
}

std::string deflate(const std::string& data)
{
    uLongf length = ::compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    if (::compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                    static_cast<uLong>(data.size()), Z_BEST_COMPRESSION)
        != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(length);
    return out;
}

struct Folder {
    std::string name;                                  // full path, "" at the top
    std::map<std::string, const SgaMember*> files;     // bare name -> member, byte order
    std::map<std::string, std::size_t> subFolders;     // full path -> index in folders
};

} // namespace

std::string writeSga(const std::vector<SgaMember>& members, bool compress)
{
    // Folder tree, keyed by full lower-case path.
    std::map<std::string, Folder> tree;
    tree[""].name = "";
    for (const SgaMember& member : members) {
        std::string path = toLowerAscii(member.path);
        std::replace(path.begin(), path.end(), '/', '\\');
        while (!path.empty() && path.front() == '\\')
            path.erase(path.begin());
        const auto slash = path.rfind('\\');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty())
            throw std::runtime_error("SGA member without a file name: " + member.path);
        if (!tree[folder].files.emplace(name, &member).second)
            throw std::runtime_error("Two SGA members named " + path);
        for (std::string child = folder; !child.empty();) {
            const auto up = child.rfind('\\');
            const std::string parent = up == std::string::npos ? "" : child.substr(0, up);
            tree[child].name = child;
            tree[parent].subFolders.emplace(child, 0);
            child = parent;
        }
    }

    // Breadth-first order keeps every folder's sub-folders consecutive.
    std::vector<Folder*> order{&tree[""]};
    checkCount(tree.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (auto& [childName, index] : order[i]->subFolders) {
            index = order.size();
            order.push_back(&tree[childName]);
        }
    }

    std::string names;
    auto addName = [&names](const std::string& name) {
        const auto offset = static_cast<std::uint32_t>(names.size());
        names += name;
        names.push_back('\0');
        return offset;
    };

    std::string folderRecords, fileRecords, data;
    std::uint32_t fileIndex = 0;
    for (const Folder* folder : order) {
        put32(folderRecords, addName(folder->name));
        const std::size_t firstSub = folder->subFolders.empty() ? order.size() : folder->subFolders.begin()->second;
        put16(folderRecords, static_cast<std::uint32_t>(folder->subFolders.empty() ? 0 : firstSub));
        put16(folderRecords, static_cast<std::uint32_t>(folder->subFolders.empty() ? 0 : firstSub + folder->subFolders.size()));
        put16(folderRecords, fileIndex);
        put16(folderRecords, fileIndex + static_cast<std::uint32_t>(folder->files.size()));
        for (const auto& [name, member] : folder->files) {
            std::string stored = compress ? deflate(member->data) : member->data;
            if (stored.size() >= member->data.size())
                stored = member->data;
            if (data.size() + stored.size() > UINT32_MAX)
                throw std::runtime_error("SGA archive too large: more than 4 GiB of data");
            put32(fileRecords, addName(name));
            put32(fileRecords, 0);
            put32(fileRecords, static_cast<std::uint32_t>(data.size()));
            put32(fileRecords, static_cast<std::uint32_t>(stored.size()));
            put32(fileRecords, static_cast<std::uint32_t>(member->data.size()));
            data += stored;
            ++fileIndex;
        }
    }

    const std::uint32_t pairs = 24;
    const auto foldersOffset = pairs;
    const auto filesOffset = foldersOffset + static_cast<std::uint32_t>(folderRecords.size());
    const auto namesOffset = filesOffset + static_cast<std::uint32_t>(fileRecords.size());
    const auto tocLength = namesOffset + static_cast<std::uint32_t>(names.size());

    std::string archive = "_ARCHIVE";
    put32(archive, 2);
    archive.resize(172, '\0');
    put32(archive, tocLength);
    put32(archive, 180 + tocLength);
    put32(archive, pairs); // no further table
    put16(archive, 0);
    put32(archive, foldersOffset);
    put16(archive, static_cast<std::uint32_t>(order.size()));
    put32(archive, filesOffset);
    put16(archive, fileIndex);
    put32(archive, namesOffset);
    put16(archive, std::min<std::uint32_t>(0xFFFF, static_cast<std::uint32_t>(order.size()) + fileIndex));
    archive += folderRecords;
    archive += fileRecords;
    archive += names;
    archive += data;
    return archive;
}

std::vector<SgaMember> readFolderMembers(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<SgaMember> members;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        if (!in)
            throw std::runtime_error("Cannot read " + entry.path().string());
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        members.push_back({fs::relative(entry.path(), folder).generic_string(), std::move(bytes)});
    }
    return members;
}

} // namespace Mod
