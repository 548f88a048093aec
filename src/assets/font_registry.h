#pragma once
// The font registry of a screen: the game's TrueType files, registered as a
// custom font collection for as long as the registry (or a text format made
// from it) lives, and the fonts that screens name, each read from its font
// description file once and kept, failures included.

#include "assets/font_description.h"
#include "assets/lua_sandbox.h"
#include "data/file_source.h"
#include "gfx/text_format.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gfx {
class FontCollection;
class GraphicsContext;
} // namespace gfx

namespace assets {

// What the registry holds per font name.
struct FontEntry {
    gfx::TextFormatPtr format;    // shared by every user of the font name
    std::vector<SizeEntry> sizes; // empty for the fallback
    bool fallback = false;        // the file was missing or failed, or the typeface is not in the collection
    // Why it fell back: "no file font\NAME.fnt", or what is wrong with the
    // file ("font\NAME.fnt fails to run: ...", "... names the typeface
    // \"X\", which no .ttf file in font\ has"); empty when it did not.
    std::string fallbackReason;
};

class FontRegistry {
public:
    // Registers every file that files lists under "font\" whose name ends in
    // ".ttf" (any letter case), in listing order, opened through the same
    // folder. The bytes come from the file system; nothing is written to disk.
    FontRegistry(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                 const assets::Limits& limits = {});
    ~FontRegistry();
    FontRegistry(const FontRegistry&) = delete;
    FontRegistry& operator=(const FontRegistry&) = delete;

    const std::shared_ptr<const gfx::FontCollection>& collection() const { return collection_; }

    // The font of that name ("font\" + name + ".fnt"): a format for the
    // typeface it names at sizeDefault × 72 / 96 DIPs, and its size table.
    // Never fails for bad data: a missing or failing file, or a typeface
    // the collection lacks, gives "Microsoft Sans Serif", weight 400, 16 DIPs,
    // "en-us", with an empty size table.
    const FontEntry& getFont(const std::string& name);

private:
    const gfx::GraphicsContext* context_;
    std::shared_ptr<Mod::FileSource> files_;
    assets::Limits limits_;
    std::shared_ptr<const gfx::FontCollection> collection_;
    std::map<std::string, FontEntry> entries_;
};

} // namespace assets
