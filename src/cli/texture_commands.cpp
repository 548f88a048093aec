// tise-cli commands over textures: texture, decode.

#include "cli/command.h"

#include "assets/screen_assets.h"
#include "assets/texture_decoding.h"
#include "cli/bitmap_png.h"
#include "cli/gui_session.h"
#include "cli/mount_arguments.h"
#include "data/disk_file_source.h"
#include "gfx/graphics_context.h"
#include "gfx/texture_device.h"
#include "screen/widget_report.h"

#include <filesystem>
#include <stdexcept>

namespace cli {

namespace {

// The file's bytes. An empty file cannot be mapped, but it is still a file
// for the decoder to reject.
Mod::FilePtr readDiskFile(const std::string& path)
{
    if (Mod::FilePtr file = Mod::mapDiskFile(path); Mod::hasData(file))
        return file;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) && std::filesystem::file_size(path, error) == 0 && !error)
        return std::make_shared<const Mod::FileData>(Mod::FileData{"", 0});
    throw std::runtime_error("Cannot open file " + path);
}

int decode(const Arguments& args, std::ostream&)
{
    const std::string output = args.option("-o", true);
    gfx::TextureDevice device;
    const gfx::BitmapPtr bitmap = assets::DecodeTexture(readDiskFile(args.positional[0]), device);
    writeBitmapPng(*bitmap, output, args.has("--premultiplied"));
    return 0;
}

// The bitmap a texture art item of a screen of the module would draw.
int texture(const Arguments& args, std::ostream&)
{
    const std::string output = args.option("-o", true);
    Mod::ModContext module;
    mountModule(module, args);
    const GuiSession gui;
    const gfx::GraphicsContext context;
    assets::ScreenAssets screenAssets(context, module.source);
    const std::string& name = args.positional[1];
    const assets::TextureCache::Texture& resolved = screenAssets.textures().resolve(name);
    // An invalid one is reported by the cache, as drawing reports it.
    if (resolved.status == assets::TextureCache::Status::Missing)
        warn("missing texture \"" + name + "\": " + screen::missingTextureReason(name));
    writeBitmapPng(*resolved.bitmap, output, args.has("--premultiplied"));
    return 0;
}

} // namespace

void addTextureCommands(std::vector<Command>& list)
{
    list.push_back({"texture", "MODULE NAME -o OUT.png [--premultiplied]", 2, 2, mountingValueOptions({"-o"}),
                    {"--premultiplied"}, texture});
    list.push_back({"decode", "FILE -o OUT.png [--premultiplied]", 1, 1, {"-o"}, {"--premultiplied"}, decode});
}

} // namespace cli
