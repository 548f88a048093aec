#pragma once
// The resources one screen draws with, all read from the mounted game data
// and kept for the screen's life: the colour table, the style sheets, the
// font registry with the game's font collection, the texture device and the
// texture cache. Caches are never evicted and remember failures, so a
// missing or broken file is read at most once.

#include "assets/colour_table.h"
#include "assets/font_registry.h"
#include "assets/lua_sandbox.h"
#include "assets/style_sheets.h"
#include "assets/texture_cache.h"
#include "data/file_source.h"
#include "gfx/texture_device.h"

#include <memory>
#include <string>

namespace gfx {
class GraphicsContext;
}

namespace assets {

class ScreenAssets {
public:
    // Reads the colour table and registers the game's fonts from files;
    // context must outlive the assets.
    ScreenAssets(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                 const assets::Limits& limits = {});
    ScreenAssets(const ScreenAssets&) = delete;
    ScreenAssets& operator=(const ScreenAssets&) = delete;

    const ColourTable& colours() const { return colours_; }
    StyleSheets& styleSheets() { return styleSheets_; }
    FontRegistry& fonts() { return fonts_; }
    gfx::TextureDevice& textureDevice() { return textureDevice_; }
    TextureCache& textures() { return textures_; }

    // See FontRegistry::getFont and TextureCache::getTexture.
    const FontEntry& getFont(const std::string& name) { return fonts_.getFont(name); }
    gfx::BitmapPtr getTexture(const std::string& name) { return textures_.getTexture(name); }

private:
    ColourTable colours_;
    StyleSheets styleSheets_;
    FontRegistry fonts_;
    gfx::TextureDevice textureDevice_;
    TextureCache textures_;
};

} // namespace assets
