// The .module file parser: the input is parsed and read as the mounter reads
// it (numbered keys until the first empty one, variables expanded), and its
// description read as the module list reads it.

#include "fuzz_bytes.h"

#include "data/module_file.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Mod::ModuleFile module(*Fuzz::heapFile(data, size));
    // As the mounter sets them; a language folder may hold "%" itself.
    module.setVariable("LOCALE", "Locale\\Eng%LOCALE%lish");
    module.setVariable("TEXTURE-LEVEL", "Full");
    module.setVariable("SOUND-LEVEL", "Full");
    module.setVariable("MODEL-LEVEL", "High");
    module.setVariable("", "%");

    std::size_t length = module.get("Name").size() + module.get("Description").size() + module.get("ModFolder").size();
    for (const char* key : {"RequiredMod", "DataFolder", "ArchiveFile"}) {
        // Real modules number a handful; the bound keeps a file of thousands
        // of numbered keys from dominating the run.
        for (int i = 1; i <= 64; ++i) {
            const std::string value = module.getNumbered(key, i);
            if (value.empty())
                break;
            length += value.size();
        }
    }

    // Where each key is, and what it leaves unexpanded, as the mount reports it.
    for (const std::string& key : module.keys())
        length += static_cast<std::size_t>(module.line(key).value_or(0)) + module.unknownVariables(key).size();

    Fuzz::InputSource files;
    files.set(data, size);
    length += Mod::moduleDescription(files, "Fuzz.module").size();
    volatile std::size_t keep = length;
    (void)keep;
    return 0;
}
