#pragma once
// The texture cache of a screen: texture names to bitmaps. A name is
// normalised (anything up to its last ':' dropped), its file variants are
// tried in the game's order, and the first that exists is decoded. A texture
// that is missing or cannot be decoded gets a magenta placeholder bitmap that
// says so in text, so a screen always draws. Every result, placeholders
// included, is kept for the cache's life: a name is looked up once.

#include "data/file_source.h"
#include "gfx/bitmap.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace gfx {
class GraphicsContext;
class TextureDevice;
} // namespace gfx

namespace assets {

class FontRegistry;

class TextureCache {
public:
    // What became of a texture name.
    enum class Status { Ok, Missing, Invalid };
    struct Texture {
        gfx::BitmapPtr bitmap; // never null: the placeholder unless Ok
        Status status = Status::Ok;
        std::string reason;  // the decoder's message when Invalid
        std::string path;    // the file that was decoded, when one existed
        std::string hint;    // when Invalid: what the file is and how to fix it (texture_hint.h)
    };

    // Side of the placeholders, in DIPs (one texel per DIP).
    static constexpr int PlaceholderSize = 256;
    // The font of the placeholders' text.
    static constexpr const char* PlaceholderFont = "gillsans_16";

    // Everything given must outlive the cache.
    TextureCache(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                 gfx::TextureDevice& device, FontRegistry& fonts);

    // The bitmap for name (never null). Decoding errors are written to the
    // diagnostic log, their message alone, and their placeholder reads
    // "Invalid texture: NAME\nReason: MESSAGE"; when no variant exists it
    // reads "Missing texture: NAME". Throws only when drawing a placeholder
    // fails (Kestra::COMException).
    gfx::BitmapPtr getTexture(const std::string& name) { return resolve(name).bitmap; }
    // The same, with what became of the name; valid for the cache's life.
    const Texture& resolve(const std::string& name);

    // What getTexture does with a name: the name as cached, and the paths
    // tried in order: the name itself when it has a '.', then its base (up
    // to the last '.') with ".dds" and with ".tga".
    static std::string normalise(const std::string& name);
    static std::vector<std::string> candidates(const std::string& normalised);

private:
    Texture load(const std::string& normalised);
    gfx::BitmapPtr makePlaceholder(const std::string& text);

    const gfx::GraphicsContext* context_;
    std::shared_ptr<Mod::FileSource> files_;
    gfx::TextureDevice* device_;
    FontRegistry* fonts_;
    std::unordered_map<std::string, Texture> textures_;
};

} // namespace assets
