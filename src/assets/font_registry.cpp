#include "assets/font_registry.h"

#include "assets/typeface_match.h"
#include "data/ansi_text.h"
#include "data/subfolder_source.h"
#include "data/text_compare.h"
#include "gfx/font_collection.h"
#include "gfx/graphics_context.h"

#include <cmath>
#include <string_view>

namespace assets {

namespace {

const char* const FontFolder = "font\\";

std::shared_ptr<const gfx::FontCollection> registerGameFonts(const gfx::GraphicsContext& context,
                                                             std::shared_ptr<Mod::FileSource> files)
{
    Mod::SubfolderSource folder(std::move(files), FontFolder);
    std::vector<std::string> names;
    folder.list("", names);
    // The files stay mapped only while the collection takes them in.
    std::vector<Mod::FilePtr> opened;
    std::vector<std::string_view> bytes;
    for (const std::string& name : names) {
        if (!Mod::endsWithNoCase(name, ".ttf"))
            continue;
        Mod::FilePtr file = folder.open(name);
        if (!Mod::hasData(file))
            continue;
        bytes.push_back(file->view());
        opened.push_back(std::move(file));
    }
    return std::make_shared<const gfx::FontCollection>(context, bytes);
}

gfx::TextFormatPtr fallbackFormat(const gfx::GraphicsContext& context)
{
    return context.createTextFormat(u"Microsoft Sans Serif", nullptr, gfx::FontWeight::Normal,
                                    gfx::FontStyle::Normal, gfx::FontStretch::Normal, 12.0f * 96.0f / 72.0f,
                                    u"en-us");
}

} // namespace

FontRegistry::FontRegistry(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                           const assets::Limits& limits)
    : context_(&context), files_(std::move(files)), limits_(limits),
      collection_(registerGameFonts(context, files_))
{
}

FontRegistry::~FontRegistry() = default;

const FontEntry& FontRegistry::getFont(const std::string& name)
{
    if (const auto found = entries_.find(name); found != entries_.end())
        return found->second;

    FontEntry entry;
    const std::string file = FontFolder + name + ".fnt";
    std::string failure;
    if (std::optional<FontDescription> description =
            readFontDescription(files_->open(file), limits_, &failure);
        description && description->typeface) {
        const TypefaceMatch match = matchTypeface(*collection_, Mod::ansiToUtf16(*description->typeface));
        const float size = description->sizeDefault * (72.0f / 96.0f);
        if (match.font && std::isfinite(size) && size > 0.0f) {
            const gfx::FontFace& face = match.font->face;
            entry.format = context_->createTextFormat(match.familyName, collection_, face.weight, face.style,
                                                      face.stretch, size, u"en-us");
            entry.sizes = std::move(description->sizes);
        } else {
            failure = "names the typeface \"" + *description->typeface + "\", which no .ttf file in font\\ has";
        }
    } else if (description) {
        failure = "names no typeface (it has no `name`)";
    }
    if (!entry.format) {
        entry.format = fallbackFormat(*context_);
        entry.fallback = true;
        entry.fallbackReason = failure == "is missing" ? "no file " + file : file + " " + failure;
    }
    return entries_.emplace(name, std::move(entry)).first->second;
}

} // namespace assets
