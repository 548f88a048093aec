#include "assets/texture_cache.h"

#include "base/diagnostic_log.h"
#include "assets/font_registry.h"
#include "assets/texture_decoding.h"
#include "assets/texture_hint.h"
#include "data/ansi_text.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/brush.h"
#include "gfx/graphics_context.h"

#include <exception>
#include <stdexcept>

namespace assets {

TextureCache::TextureCache(const gfx::GraphicsContext& context, std::shared_ptr<Mod::FileSource> files,
                           gfx::TextureDevice& device, FontRegistry& fonts)
    : context_(&context), files_(std::move(files)), device_(&device), fonts_(&fonts)
{
}

std::string TextureCache::normalise(const std::string& name)
{
    const std::size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::vector<std::string> TextureCache::candidates(const std::string& normalised)
{
    std::vector<std::string> paths;
    std::string base = normalised;
    if (const std::size_t dot = normalised.rfind('.'); dot != std::string::npos) {
        paths.push_back(normalised);
        base = normalised.substr(0, dot);
    }
    paths.push_back(base + ".dds");
    paths.push_back(base + ".tga");
    return paths;
}

const TextureCache::Texture& TextureCache::resolve(const std::string& name)
{
    std::string normalised = normalise(name);
    if (const auto found = textures_.find(normalised); found != textures_.end())
        return found->second;
    Texture texture = load(normalised);
    return textures_.emplace(std::move(normalised), std::move(texture)).first->second;
}

TextureCache::Texture TextureCache::load(const std::string& normalised)
{
    for (const std::string& path : candidates(normalised)) {
        Mod::FilePtr file = files_->open(path);
        if (!Mod::hasData(file))
            continue;
        std::string reason;
        try {
            if (gfx::BitmapPtr bitmap = assets::DecodeTexture(file, *device_))
                return {std::move(bitmap), Status::Ok, {}, path, {}};
            throw std::runtime_error("Could not load image");
        } catch (const std::exception& error) {
            reason = error.what();
        }
        std::string text = "Invalid texture: " + normalised;
        if (!reason.empty()) {
            base::writeDiagnostic(path + ": " + reason);
            text += "\nReason: " + reason;
        }
        std::string hint = textureHint(file->view(), reason);
        return {makePlaceholder(text), Status::Invalid, reason, path, std::move(hint)};
    }
    return {makePlaceholder("Missing texture: " + normalised), Status::Missing, {}, {}, {}};
}

gfx::BitmapPtr TextureCache::makePlaceholder(const std::string& text)
{
    constexpr float side = static_cast<float>(PlaceholderSize);
    gfx::BitmapRenderTarget target(*context_, PlaceholderSize, PlaceholderSize);
    target.beginDraw();
    target.clear({1.0f, 0.0f, 1.0f, 1.0f});
    // A copy: the alignments must not reach the screen's own uses of the font.
    gfx::TextFormat format = *fonts_->getFont(PlaceholderFont).format;
    format.setParagraphAlignment(gfx::ParagraphAlignment::Center);
    format.setTextAlignment(gfx::TextAlignment::Center);
    format.setWordWrapping(gfx::WordWrapping::Wrap);
    target.drawText(Mod::ansiToUtf16(text), format, {0.0f, 0.0f, side, side},
                    gfx::SolidColorBrush({0.0f, 0.0f, 0.0f, 1.0f}));
    target.endDraw();
    return target.bitmap();
}

} // namespace assets
