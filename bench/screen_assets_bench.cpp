// Costs of a screen's assets: building them for a module whose font folder
// holds 20 TrueType files (the fonts are registered from the mounted file
// system's bytes), the first request for a font and a cached one.

#include "assets/screen_assets.h"
#include "data/mount_module.h"
#include "gfx/font_collection.h"
#include "gfx/graphics_context.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace assets;

namespace {

constexpr int FontFiles = 20;

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One module with a data folder whose Font\ holds the first 20 DejaVu files
// (about 10 MB) and a font description naming one of them.
struct FontInstallation {
    FontInstallation()
    {
        std::vector<std::filesystem::path> fonts;
        for (const auto& entry : std::filesystem::directory_iterator("/usr/share/fonts/truetype/dejavu"))
            if (entry.path().extension() == ".ttf")
                fonts.push_back(entry.path());
        std::sort(fonts.begin(), fonts.end());
        for (int i = 0; i < FontFiles; ++i) {
            const std::filesystem::path& font = fonts.at(static_cast<std::size_t>(i) % fonts.size());
            bytes += std::filesystem::file_size(font);
            dir.write("Bench/Data/Font/" + std::to_string(i) + "_" + font.filename().string(), readFile(font));
        }
        dir.write("Bench/Data/Font/gillsans_16.fnt",
                  "font = { name = 'DejaVu Serif Condensed Bold Italic', sizeDefault = 16, size800 = 12, size1024 = 16 }");
        modulePath = dir.write("Bench.module", "ModFolder = Bench\nDataFolder.1 = Data\n");
        Mod::MountModule(module, modulePath);
    }
    TestSupport::TempDir dir;
    std::string modulePath;
    Mod::ModContext module;
    std::uintmax_t bytes = 0;
};

FontInstallation& installation()
{
    static FontInstallation instance;
    return instance;
}

void BM_BuildScreenAssets(benchmark::State& state)
{
    const gfx::GraphicsContext context;
    FontInstallation& fonts = installation();
    std::size_t families = 0;
    for (auto _ : state) {
        ScreenAssets assets(context, fonts.module.source);
        families = assets.fonts().collection()->families().size();
    }
    state.counters["families"] = static_cast<double>(families);
    state.counters["font_MB"] = static_cast<double>(fonts.bytes) / 1e6;
}
BENCHMARK(BM_BuildScreenAssets)->Unit(benchmark::kMillisecond);

void BM_FirstGetFont(benchmark::State& state)
{
    const gfx::GraphicsContext context;
    FontInstallation& fonts = installation();
    for (auto _ : state) {
        state.PauseTiming();
        auto assets = std::make_unique<ScreenAssets>(context, fonts.module.source);
        state.ResumeTiming();
        const FontEntry& font = assets->getFont("gillsans_16");
        benchmark::DoNotOptimize(font.format.get());
        state.PauseTiming();
        if (font.fallback)
            state.SkipWithError("the font fell back");
        assets.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstGetFont)->Unit(benchmark::kMicrosecond);

void BM_CachedGetFont(benchmark::State& state)
{
    const gfx::GraphicsContext context;
    ScreenAssets assets(context, installation().module.source);
    assets.getFont("gillsans_16");
    for (auto _ : state)
        benchmark::DoNotOptimize(&assets.getFont("gillsans_16"));
}
BENCHMARK(BM_CachedGetFont);

} // namespace
