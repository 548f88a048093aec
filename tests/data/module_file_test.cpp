#include "data/module_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using Mod::ModuleFile;

namespace {

ModuleFile parsed(const std::string& text)
{
    ModuleFile module;
    module.parse(text);
    return module;
}

} // namespace

TEST(ModuleFileTest, ParsesKeysValuesCommentsAndSections)
{
    const ModuleFile module = parsed("[global]\r\n"
                                     "  ModFolder =  Emberwake   ; the mod's folder\r\n"
                                     "\tDescription=A mod = with equals\n"
                                     "; a comment line = not a key\n"
                                     "[other]\n"
                                     "NoEquals\n"
                                     "Repeated = first\r"
                                     "Repeated = last\n"
                                     "Empty =\n"
                                     " = valueWithoutKey\n"
                                     "Semicolon = a;b");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"ModFolder", "Emberwake"},
        {"Description", "A mod = with equals"},
        {"Repeated", "last"},
        {"Empty", ""},
        {"", "valueWithoutKey"},
        {"Semicolon", "a"},
        {"NoEquals", ""},
        {"[other]", ""},
        {"modfolder", ""},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(module.get(key), value) << key;
}

TEST(ModuleFileTest, SubstitutesVariables)
{
    struct Case {
        std::string value, expected;
    };
    const std::vector<Case> cases{
        {"%LOCALE%\\Strings", "Locale\\French\\Strings"},
        {"a%LOCALE%b%LOCALE%c", "aLocale\\Frenchb" "Locale\\Frenchc"},
        {"%UNKNOWN%\\x", "%UNKNOWN%\\x"},
        {"%UNKNOWN%LOCALE%", "%UNKNOWN%LOCALE%"},
        {"100%", "100%"},
        {"%", "%"},
        {"%%", "%%"},
        {"%SELF%", "%LOCALE%"},
        {"%locale%", "%locale%"},
    };
    for (const Case& c : cases) {
        ModuleFile module = parsed("Key = " + c.value + "\n");
        module.setVariable("LOCALE", "Locale\\English");
        module.setVariable("LOCALE", "Locale\\French"); // overwrites
        module.setVariable("SELF", "%LOCALE%");          // inserted text is not scanned again
        EXPECT_EQ(module.get("Key"), c.expected) << c.value;
    }
}

TEST(ModuleFileTest, NumberedKeys)
{
    ModuleFile module = parsed("DataFolder.1 = Data\nDataFolder.3 = %TEXTURE-LEVEL%\nArchiveFile.10 = Ten\n");
    module.setVariable("TEXTURE-LEVEL", "Full");
    EXPECT_EQ(module.getNumbered("DataFolder", 1), "Data");
    EXPECT_EQ(module.getNumbered("DataFolder", 2), "");
    EXPECT_EQ(module.getNumbered("DataFolder", 3), "Full");
    EXPECT_EQ(module.getNumbered("ArchiveFile", 10), "Ten");
}

TEST(ModuleFileTest, KeysKeepTheLineTheirValueCameFrom)
{
    // LF, CR LF and a lone CR each end a line; blank and comment lines count.
    const ModuleFile module = parsed("[global]\r\n"
                                     "\r\n"
                                     "ModFolder = Mod ; comment\n"
                                     "; DataFolder.1 = commented out\r"
                                     "DataFolder.1 = Data\n"
                                     "  \t\n"
                                     "DataFolder.1 = Again\r\n"
                                     "ArchiveFile.1 = %LOCAL%\\x%LOCALE%%TEXTURE-LEVEL\n"
                                     "Last = end");
    struct Case {
        const char* key;
        std::optional<int> line;
    };
    for (const Case& c : {Case{"ModFolder", 3}, Case{"DataFolder.1", 7}, Case{"ArchiveFile.1", 8}, Case{"Last", 9},
                          Case{"Missing", std::nullopt}})
        EXPECT_EQ(module.line(c.key), c.line) << c.key;
    std::vector<std::string> keys = module.keys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"ArchiveFile.1", "DataFolder.1", "Last", "ModFolder"}));

    ModuleFile withVariables = parsed("ArchiveFile.1 = %LOCAL%\\x%LOCALE%%TEXTURE-LEVEL\n");
    withVariables.setVariable("LOCALE", "Locale\\English");
    // %LOCALE% expands; %LOCAL% stays; the lone % at the end opens no name.
    EXPECT_EQ(withVariables.unknownVariables("ArchiveFile.1"), (std::vector<std::string>{"LOCAL"}));
    EXPECT_EQ(withVariables.get("ArchiveFile.1"), "%LOCAL%\\xLocale\\English%TEXTURE-LEVEL");
    EXPECT_TRUE(withVariables.unknownVariables("Missing").empty());
}
