// Costs of a loaded screen at 1920 × 1080: loading and instantiating a
// generated screen of 2,000 widgets with 4,000 art items (1,000 each of
// textures, texts, rectangles and lines, over 50 distinct 256 × 256 DXT1
// textures), its first paint (which decodes the textures and lays the texts
// out), repaints with everything cached, with and without a widget
// emphasized, the pointer moving from widget to widget over a variant whose
// rectangles show only under the pointer and whose text widgets have a
// tooltip, the repaint of a screen without widgets (the background and the
// checkerboard every screen pays for), and, as the floor, one full-frame
// bitmap draw.

#include "data/mount_module.h"
#include "fixtures/dds_builder.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/graphics_context.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr int Width = 1920, Height = 1080;
constexpr int Columns = 50, Rows = 40; // 2,000 widgets in rows of 50
constexpr int Textures = 50;
constexpr int TextureSide = 256;
const char* const ScreenPath = "art/ui/screens/bench.screen";
const char* const HoverScreenPath = "art/ui/screens/hover.screen";
const char* const EmptyScreenPath = "art/ui/screens/empty.screen";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A straight-alpha picture that differs per texture.
std::vector<std::uint8_t> picture(int seed)
{
    std::vector<std::uint8_t> bgra;
    bgra.reserve(TextureSide * TextureSide * 4);
    for (int y = 0; y < TextureSide; ++y)
        for (int x = 0; x < TextureSide; ++x)
            for (int c : {x + seed * 5, y + seed * 3, (x ^ y) + seed, 255})
                bgra.push_back(static_cast<std::uint8_t>(c));
    return bgra;
}

// Lua text as a screen author writes it: one table per widget. In the hover
// variant the rectangles show only under the pointer, and the text widgets
// name a tooltip widget.
std::string generatedScreen(bool hover = false)
{
    const std::string rectangleStates = hover ? "{ 'Hover' }" : "{ 'Normal', 'Hover' }";
    std::string lua = "Screen = { ";
    if (hover)
        lua += "TooltipWidgets = { name = 'tips', Children = { { name = 'tip', position = { 0.4, 0.02 }, "
               "size = { 0.2, 0.04 }, Presentation = { Art = {\n"
               "  { type = 'Rectangle', colour = 'steel', states = { 'Normal', 'Hover' } },\n"
               "  { type = 'Text', fontname = 'gillsans_16', horzAlign = 'Centre', textColourTop = 'gold', "
               "states = { 'Normal', 'Hover' } } } } } } },\n";
    lua += "Widgets = { name = 'root', Children = {\n";
    for (int row = 0; row < Rows; ++row) {
        lua += "  { name = 'row" + std::to_string(row) + "', position = { 0, " + std::to_string(row / double(Rows)) +
               " }, size = { 1, " + std::to_string(1.0 / Rows) + " }, Children = {\n";
        for (int column = 0; column < Columns; ++column) {
            const int i = row * Columns + column;
            lua += "    { type = 'Button', name = 'w" + std::to_string(i) + "', text = 'Item " + std::to_string(i) +
                   "', position = { " + std::to_string(column / double(Columns)) + ", " +
                   std::to_string(row / double(Rows)) + " }, size = { " + std::to_string(1.0 / Columns) + ", " +
                   std::to_string(1.0 / Rows) + " }, " +
                   (hover && i % 2 == 0 ? "tooltip_name = 'tip', tooltip_text = 'Tip " + std::to_string(i) + "', "
                                        : "") +
                   "Presentation = { Art = {\n";
            if (i % 2 == 0)
                lua += "      { type = 'Graphic', texture = 'art/ui/bench/tex" + std::to_string(i % Textures) +
                       "', states = { 'Normal', 'Hover' } },\n"
                       "      { type = 'Text', fontname = 'gillsans_16', horzAlign = 'Centre', dropShadow = true, "
                       "textColourTop = 'gold', textColourBottom = { 255, 255, 255, 255 }, states = { 'Normal', 'Hover' } },\n";
            else
                lua += "      { type = 'Rectangle', colour = 'steel', states = " + rectangleStates + " },\n"
                       "      { type = 'Line', colour = 'gold', p1 = { 0, 1 }, p2 = { 1, 0 }, states = { 'Normal', 'Hover' } },\n";
            lua += "    } } },\n";
        }
        lua += "  } },\n";
    }
    return lua + "} } }\n";
}

struct BenchInstallation {
    BenchInstallation()
    {
        dir.write("Bench/Data/Font/DejaVuSans.ttf", readFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        dir.write("Bench/Data/Font/gillsans_16.fnt",
                  "font = { name = 'DejaVu Sans Book', sizeDefault = 16, size800 = 12, size1024 = 16, size1920 = 20 }");
        dir.write("Bench/Data/art/ui/styles/colourtable.colours",
                  "ColourTable = { { key = 'gold', value = { 230, 190, 60, 255 } },"
                  " { key = 'steel', value = { 70, 80, 100, 200 } } }");
        for (int i = 0; i < Textures; ++i)
            dir.write("Bench/Data/art/ui/bench/tex" + std::to_string(i) + ".dds",
                      Fixtures::ddsFromPicture(picture(i), TextureSide, TextureSide, Fixtures::Dxt::Dxt1));
        dir.write("Bench/Data/" + std::string(ScreenPath), generatedScreen());
        dir.write("Bench/Data/" + std::string(HoverScreenPath), generatedScreen(true));
        dir.write("Bench/Data/" + std::string(EmptyScreenPath), "Screen = { Widgets = { name = 'root' } }");
        Mod::MountModule(module, dir.write("Bench.module", "ModFolder = Bench\nDataFolder.1 = Data\n"));
    }
    TestSupport::TempDir dir;
    Mod::ModContext module;
    gfx::GraphicsContext graphics;
};

BenchInstallation& installation()
{
    static BenchInstallation instance;
    return instance;
}

std::unique_ptr<screen::ScreenView> loadView(const char* path = ScreenPath)
{
    BenchInstallation& bench = installation();
    return std::make_unique<screen::ScreenView>(bench.graphics, bench.module, path);
}

void countItems(benchmark::State& state, const screen::ScreenView& view)
{
    std::size_t widgets = 0, art = 0;
    std::vector<const screen::Widget*> pending{view.widgetsRoot()};
    while (!pending.empty()) {
        const screen::Widget* widget = pending.back();
        pending.pop_back();
        ++widgets;
        art += widget->artItems().size();
        pending.insert(pending.end(), widget->children().begin(), widget->children().end());
    }
    state.counters["widgets"] = static_cast<double>(widgets);
    state.counters["art_items"] = static_cast<double>(art);
}

void BM_ScreenLoad(benchmark::State& state)
{
    installation();
    std::unique_ptr<screen::ScreenView> view;
    for (auto _ : state) {
        view = loadView();
        benchmark::DoNotOptimize(view->widgetsRoot());
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    countItems(state, *loadView());
}
BENCHMARK(BM_ScreenLoad)->Unit(benchmark::kMillisecond);

// Construction and the first frame: textures decoded, texts laid out,
// brushes made.
void BM_ScreenFirstPaint(benchmark::State& state)
{
    installation();
    for (auto _ : state) {
        auto shown = std::make_unique<screen::OffscreenScreen>(loadView(), Width, Height);
        shown->render();
        state.PauseTiming();
        shown.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScreenFirstPaint)->Unit(benchmark::kMillisecond);

void repaint(benchmark::State& state, bool emphasized)
{
    screen::OffscreenScreen shown(loadView(), Width, Height);
    if (emphasized) {
        shown.view().setEmphasizedWidget(shown.view().findWidget("w1025"));
        shown.view().setEmphasisFade(0.25f);
    }
    shown.setHover(shown.view().findWidget("w1024"));
    shown.render();
    for (auto _ : state)
        shown.render();
}

void BM_ScreenRepaint(benchmark::State& state) { repaint(state, false); }
BENCHMARK(BM_ScreenRepaint)->Unit(benchmark::kMillisecond);

void BM_EmptyScreenRepaint(benchmark::State& state)
{
    screen::OffscreenScreen shown(loadView(EmptyScreenPath), Width, Height);
    shown.render();
    for (auto _ : state)
        shown.render();
}
BENCHMARK(BM_EmptyScreenRepaint)->Unit(benchmark::kMillisecond);

void BM_ScreenRepaintEmphasized(benchmark::State& state) { repaint(state, true); }
BENCHMARK(BM_ScreenRepaintEmphasized)->Unit(benchmark::kMillisecond);

// The pointer moves across 100 widgets, one after the other (two rows of 50,
// every other one with a tooltip); each move ends with the screen drawn as
// the window shows it: what changed painted again, until nothing is left.
void BM_ScreenHoverMove(benchmark::State& state)
{
    screen::OffscreenScreen shown(loadView(HoverScreenPath), Width, Height);
    std::vector<screen::Widget*> path;
    for (int i = 0; i < 100; ++i)
        path.push_back(shown.view().findWidget("w" + std::to_string(1000 + i)));
    shown.render();
    std::size_t moves = 0, frames = 0;
    for (auto _ : state) {
        shown.setHover(path[moves++ % path.size()]);
        // As the window paints: again while painting asked for more (the
        // tooltip's text is handed over while painting).
        for (int pass = 0; pass < 4 && shown.needsUpdate(); ++pass, ++frames)
            shown.update();
    }
    state.counters["frames_per_move"] = static_cast<double>(frames) / static_cast<double>(moves);
}
BENCHMARK(BM_ScreenHoverMove)->Unit(benchmark::kMillisecond);

// The floor: one frame that draws one bitmap over the whole target.
void BM_FullFrameBitmapDraw(benchmark::State& state)
{
    const gfx::GraphicsContext& graphics = installation().graphics;
    auto frame = std::make_shared<gfx::Bitmap>();
    frame->width = Width;
    frame->height = Height;
    frame->pixels.assign(static_cast<std::size_t>(Width) * Height * 4, 0x80);
    gfx::BitmapRenderTarget target(graphics, Width, Height);
    for (auto _ : state) {
        target.beginDraw();
        target.drawBitmap(*frame, {0, 0, float(Width), float(Height)});
        target.endDraw();
    }
}
BENCHMARK(BM_FullFrameBitmapDraw)->Unit(benchmark::kMillisecond);

} // namespace
