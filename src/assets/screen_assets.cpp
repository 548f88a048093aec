#include "assets/screen_assets.h"

namespace assets {

ScreenAssets::ScreenAssets(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                           const assets::Limits& limits)
    : colours_(*files, limits), styleSheets_(files, limits), fonts_(context, files, limits),
      textures_(context, files, textureDevice_, fonts_)
{
}

} // namespace assets
