#include "screen/texture_art.h"

#include "base/closest_name.h"
#include "data/mod_context.h"
#include "data/text_compare.h"
#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "screen/widget_report.h"

namespace screen {

namespace {

// The textures beside a missing one whose names are near its name.
std::optional<std::string> nearTextures(Mod::FileSource& files, const std::string& normalised)
{
    const std::size_t slash = normalised.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : normalised.substr(0, slash + 1);
    std::string stem = normalised.substr(folder.size());
    if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos)
        stem.resize(dot);
    std::vector<std::string> names;
    files.list(folder, names);
    std::vector<std::string> stems;
    for (const std::string& name : names)
        if (Mod::endsWithNoCase(name, ".dds") || Mod::endsWithNoCase(name, ".tga"))
            stems.push_back(name.substr(0, name.size() - 4));
    return base::didYouMean(base::closestNames(stem, std::vector<std::string_view>(stems.begin(), stems.end())));
}

} // namespace

TextureArt::TextureArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Texture), properties_(std::move(properties))
{
}

void TextureArt::reportTexture(const assets::TextureCache::Texture& resolved)
{
    using Status = assets::TextureCache::Status;
    const std::string& name = properties_.texture;
    if (resolved.status == Status::Missing && properties_.named)
        screen().screenFindings().addOnce(
            "texture-missing", "missing texture \"" + name + "\": " + missingTextureReason(name),
            nearTextures(*screen().files().source, assets::TextureCache::normalise(name)), *this);
    else if (resolved.status == Status::Invalid)
        screen().screenFindings().addOnce(
            "texture-invalid", "invalid texture \"" + name + "\": " + resolved.path + ": " + resolved.reason,
            resolved.hint.empty() ? std::nullopt : std::optional<std::string>(resolved.hint), *this);
}

ui::HitResult TextureArt::hitTest(float x, float y)
{
    return properties_.colour.color.a > 0.0f && solidHitTest(x, y) ? ui::HitResult::Indeterminate
                                                                     : ui::HitResult::Miss;
}

void TextureArt::paint(gfx::RenderTarget& target)
{
    if (!passesStateGate() || properties_.texture.empty())
        return;
    const gfx::Matrix m = target.transform();
    const float w = width(), h = height();
    if (!isDrawable(toDevice(m, {0.0f, 0.0f, w, h})))
        return;
    if (!bitmap_) {
        const assets::TextureCache::Texture& resolved = screen().assets().textures().resolve(properties_.texture);
        bitmap_ = resolved.bitmap;
        reportTexture(resolved);
    }
    const float opacity = properties_.colour.color.a;
    const bool flipX = properties_.flipHorizontal, flipY = properties_.flipVertical;
    if (!flipX && !flipY) {
        target.drawBitmap(bitmap_, {0.0f, 0.0f, w, h}, opacity, gfx::BitmapInterpolationMode::Linear);
        return;
    }
    // Mirrored about the item's origin, drawn into the mirrored rectangle:
    // the same area, the picture flipped.
    target.setTransform(gfx::Matrix::scale(flipX ? -1.0f : 1.0f, flipY ? -1.0f : 1.0f) * m);
    const gfx::Rect mirrored{flipX ? -w : 0.0f, flipY ? -h : 0.0f, flipX ? 0.0f : w, flipY ? 0.0f : h};
    target.drawBitmap(bitmap_, mirrored, opacity, gfx::BitmapInterpolationMode::Linear);
    target.setTransform(m);
}

} // namespace screen
