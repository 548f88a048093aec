#include "cli/mount_arguments.h"

#include "data/mount_module.h"
#include "data/text_compare.h"

#include <algorithm>

namespace cli {

std::set<std::string> mountingValueOptions(std::set<std::string> own)
{
    own.insert(LanguageOption);
    return own;
}

std::set<std::string> showingFlagOptions(std::set<std::string> own)
{
    own.insert(PseudoOption);
    return own;
}

void mountModule(Mod::ModContext& context, const Arguments& args)
{
    Mod::MountOptions options;
    options.language = args.option(LanguageOption);
    if (args.options.count(LanguageOption) && options.language.empty())
        throw UsageError(LanguageOption + " takes a language name");
    options.pseudoLocalise = args.has(PseudoOption);
    Mod::MountModule(context, args.positional.at(0), options);
    // The disk finds a folder whatever its letter case, as the game's does.
    const auto offers = [&](const std::string& name) { return Mod::equalNoCase(name, options.language); };
    if (!options.language.empty() &&
        std::none_of(context.offeredLanguages.begin(), context.offeredLanguages.end(), offers))
        warn("no Locale folder offers " + options.language);
}

namespace {

const std::string LanguageHelp =
    "  " + LanguageOption + " NAME  mount with the language NAME instead of the mount's own choice";
const std::string PseudoHelp =
    "  " + PseudoOption + "  pseudo-localise every string that comes from a string table";

} // namespace

std::string mountingOptionsHelp(const Command& command)
{
    std::string help;
    if (command.valueOptions.count(LanguageOption))
        help += LanguageHelp + "\n";
    if (command.flagOptions.count(PseudoOption))
        help += PseudoHelp + "\n";
    return help;
}

std::string mountingOptionsHelp()
{
    std::string language, pseudo;
    for (const Command& command : commands()) {
        if (command.valueOptions.count(LanguageOption))
            language += (language.empty() ? "" : ", ") + command.name;
        if (command.flagOptions.count(PseudoOption))
            pseudo += (pseudo.empty() ? "" : ", ") + command.name;
    }
    return LanguageHelp + " (" + language + ")\n" + PseudoHelp + " (" + pseudo + ")\n";
}

} // namespace cli
