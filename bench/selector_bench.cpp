// Painting the selector: a list of 100 and of 10,000 files at 1920 × 1080.
// Only the rows in view are drawn, so the long list should cost about what
// the short one does. Hovering repaints with the layouts made at listing.

#include "data/file_source.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "ui/folder_group.h"
#include "ui/root_control.h"
#include "ui/selector.h"
#include "ui/selector_row.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

class ListSource final : public Mod::FileSource {
public:
    explicit ListSource(int count) : count_(count) {}
    Mod::FilePtr open(const std::string&) override { return nullptr; }
    void list(const std::string&, std::vector<std::string>& names) override
    {
        for (int i = 0; i < count_; ++i)
            names.push_back("Module" + std::to_string(100000 + i) + ".module");
    }

private:
    int count_;
};

class BenchSelector final : public ui::Selector {
public:
    BenchSelector(const gfx::GraphicsContext& graphics, int count)
        : Selector(graphics, "module", std::make_shared<ListSource>(count))
    {
        setColumnCount(2);
    }
    std::u16string cellText(std::size_t column, const std::string& path) override
    {
        return column == 0 ? Selector::cellText(column, path) : u"A module of the benchmark";
    }
    std::unique_ptr<ui::Control> createDetail(const std::string&) override { return nullptr; }
};

struct Scene {
    explicit Scene(int count)
    {
        root.setBounds(0, 0, 1920, 1080);
        selector = static_cast<BenchSelector*>(root.addChild(std::make_unique<BenchSelector>(graphics, count)));
        selector->setBounds(0, 0, 1920, 1080);
        selector->addFolder("C:\\Games\\Ironveil\\");
    }
    void paint()
    {
        target.beginDraw();
        root.paint(target);
        target.endDraw();
    }

    gfx::GraphicsContext graphics;
    ui::RootControl root;
    BenchSelector* selector;
    QImage image{1920, 1080, QImage::Format_ARGB32_Premultiplied};
    gfx::RenderTarget target{graphics, image};
};

void BM_SelectorPaint(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    scene.paint();
    for (auto _ : state) {
        scene.paint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SelectorPaint)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Listing a folder: a text layout per cell, made once.
void BM_SelectorListing(benchmark::State& state)
{
    for (auto _ : state) {
        Scene scene(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(scene.selector->groups().size());
    }
}
BENCHMARK(BM_SelectorListing)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// The pointer moves between two rows: each move repaints the list.
void BM_SelectorHoverRepaint(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    const ui::FolderGroup& group = *scene.selector->groups()[0];
    const float top = 10 + group.headerHeight();
    const float rowHeight = group.rows()[0]->height();
    bool second = false;
    for (auto _ : state) {
        second = !second;
        scene.root.pointerMove({100, top + rowHeight * (second ? 1.5f : 0.5f)}, 0);
        scene.paint();
    }
}
BENCHMARK(BM_SelectorHoverRepaint)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
