// The layers of src/: a file includes only its own folder and folders of a
// lower rank, and no file below the graphics layer includes Qt. The graphics
// layer may use Qt in its sources and in internal headers that no other
// folder includes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lowest first; folders of one rank do not include each other.
const std::map<std::string, int> ranks = {
    {"base", 0}, {"data", 1}, {"gfx", 2},    {"ui", 3},   {"assets", 3},
    {"screen", 4}, {"app", 4}, {"editor", 5}, {"tise", 6}, {"cli", 6},
};
const std::set<std::string> qtFolders = {"gfx", "app", "editor", "tise", "cli"};

struct Include {
    std::string file;   // relative to src/, e.g. "ui/control.h"
    std::string target; // as written between the quotes or brackets
    bool angled;
};

std::vector<Include> includesOf(const std::string& file, std::istream& in)
{
    static const std::regex pattern(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> result;
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, pattern))
            result.push_back({file, m[2].str(), m[1].str() == "<"});
    return result;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find('/')); }

bool isQt(const Include& include)
{
    const std::string& t = include.target;
    return include.angled && t.size() > 1 && t[0] == 'Q' &&
           (t[1] == 't' || std::isupper(static_cast<unsigned char>(t[1])));
}

// Every fault of the rules, one line each.
std::vector<std::string> layerFaults(const std::vector<Include>& includes)
{
    std::vector<std::string> faults;
    std::set<std::string> qtHeaders; // gfx headers that include Qt
    for (const Include& i : includes)
        if (isQt(i) && folderOf(i.file) == "gfx" && i.file.ends_with(".h"))
            qtHeaders.insert(i.file);

    for (const Include& i : includes) {
        const std::string from = folderOf(i.file);
        const auto fromRank = ranks.find(from);
        if (fromRank == ranks.end()) {
            faults.push_back(i.file + ": folder with no rank");
            continue;
        }
        if (isQt(i)) {
            if (!qtFolders.contains(from))
                faults.push_back(i.file + ": includes Qt <" + i.target + ">");
            continue;
        }
        if (i.angled || i.target.find('/') == std::string::npos)
            continue;
        const std::string to = folderOf(i.target);
        const auto toRank = ranks.find(to);
        if (toRank == ranks.end())
            faults.push_back(i.file + ": includes \"" + i.target + "\" of no known folder");
        else if (to != from && toRank->second >= fromRank->second)
            faults.push_back(i.file + ": includes \"" + i.target + "\" of a layer not below it");
        else if (to != from && qtHeaders.contains(i.target))
            faults.push_back(i.file + ": includes the graphics layer's internal \"" + i.target + "\"");
    }
    return faults;
}

std::vector<Include> sourceTree()
{
    std::vector<Include> includes;
    const fs::path root = TISE_SOURCE_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& p = entry.path();
        if (!entry.is_regular_file() || (p.extension() != ".h" && p.extension() != ".cpp"))
            continue;
        std::ifstream in(p);
        const std::vector<Include> found = includesOf(fs::relative(p, root).generic_string(), in);
        includes.insert(includes.end(), found.begin(), found.end());
    }
    return includes;
}

TEST(Layers, TheSourceTreeKeepsThem)
{
    const std::vector<Include> includes = sourceTree();
    ASSERT_GT(includes.size(), 100u); // the tree was found and read
    std::string report;
    for (const std::string& fault : layerFaults(includes))
        report += fault + "\n";
    EXPECT_EQ(report, "");
}

TEST(Layers, EachKindOfFaultIsFound)
{
    struct Case {
        const char* file;
        const char* text;
        const char* fault; // "" when the include is allowed
    };
    const Case cases[] = {
        {"ui/control.cpp", "#include \"gfx/matrix.h\"", ""},
        {"ui/control.cpp", "#include \"ui/control.h\"", ""},
        {"data/x.cpp", "#include \"ui/control.h\"", "data/x.cpp: includes \"ui/control.h\" of a layer not below it"},
        {"ui/x.cpp", "#include \"assets/y.h\"", "ui/x.cpp: includes \"assets/y.h\" of a layer not below it"},
        {"data/x.cpp", "#include <QString>", "data/x.cpp: includes Qt <QString>"},
        {"screen/x.h", "  #  include <QtGui/QImage>", "screen/x.h: includes Qt <QtGui/QImage>"},
        {"gfx/x.cpp", "#include <QImage>", ""},
        {"editor/x.cpp", "#include <QWidget>", ""},
        {"ui/x.cpp", "#include <queue>", ""},
        {"ui/x.cpp", "#include \"gfx/internal.h\"", "ui/x.cpp: includes the graphics layer's internal \"gfx/internal.h\""},
        {"misc/x.cpp", "#include <vector>", "misc/x.cpp: folder with no rank"},
        {"ui/x.cpp", "#include \"widgets/y.h\"", "ui/x.cpp: includes \"widgets/y.h\" of no known folder"},
    };
    for (const Case& c : cases) {
        std::istringstream text(c.text);
        std::vector<Include> includes = includesOf(c.file, text);
        std::istringstream internal("#include <QPainter>");
        for (const Include& i : includesOf("gfx/internal.h", internal))
            includes.push_back(i);
        const std::vector<std::string> faults = layerFaults(includes);
        const std::string found = faults.empty() ? "" : faults.front();
        EXPECT_EQ(found, c.fault) << c.file << ": " << c.text;
        EXPECT_LE(faults.size(), 1u) << c.text;
    }
}

} // namespace
