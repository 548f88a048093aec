#pragma once
// The control that owns one loaded screen: its Lua state, its assets (colour
// table, style sheets, fonts, textures), the two widget trees built from the
// screen file's `Screen.Widgets` and `Screen.TooltipWidgets`, and the
// resources it draws with. Its content space is the unit square: its
// transform scales by its size, so widget positions and sizes are fractions
// of the view.
//
// Loading. A screen file is Lua 5.2 text run as one chunk ("@slice", text
// only) in a fresh sandboxed state (assets::newState: no libraries, no globals,
// a memory cap and an instruction budget), stage "load"; then the instantiate
// callback reads the global `Screen` and builds the tooltip tree, then the
// widget tree (widget_factory.h), stage "instantiate". A `Screen` that is not
// a table, or a missing or non-table root, is no error: that root stays null.
//
// Errors (all std::runtime_error; the Lua state is closed before they leave;
// the load and instantiate errors are ScreenLoadError, screen_load_error.h):
//   "Cannot open screen file " + path
//   "Cannot load screen file " + path + ": " + Lua's message   (syntax and
//       run-time errors, precompiled chunks, memory cap, instruction budget)
//   "Cannot instantiate screen file " + path + ": " + message  (building)
// A failing graphics call throws Kestra::COMException. Nothing of a view that
// failed to load survives.
//
// Painting (paint): the checkerboard, then the widgets bottom to top (the
// widget tree below the tooltip tree), clipped to the view. With a widget
// emphasized and a fade below 1, everything but that widget and what it
// draws is dimmed to the fade's opacity, and the widget gets a one-pixel
// black outline. When the pointer is off the view, the current tooltip's
// text is cleared.
//
// Destruction: the widgets (which release their Lua references), then the
// Lua state, then the drawing resources, then the assets.
//
// Findings (screen_findings.h): loading, building and painting note what
// they find wrong with the screen, each where it is found: a load error at
// the line Lua names (an instantiate error at the line of the table being
// built), a missing or non-table `Screen`, `Widgets` or `TooltipWidgets`,
// what the widget factory finds in the tables (widget_factory.h), textures
// that are missing or invalid and fonts that fell back as they are first
// drawn, and, when asked for (setCheckTextFit), text that does not fit its
// box at the size drawn. Noting them changes nothing that is drawn. The
// line each table of the screen file was made on is traced while the chunk
// runs (table_lines.h) and kept by the widgets and art items.

#include "assets/lua_sandbox.h"
#include "assets/screen_assets.h"
#include "base/finding.h"
#include "screen/screen_findings.h"
#include "screen/view_resources.h"
#include "ui/container_control.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace gfx {
class GraphicsContext;
}
namespace Mod {
struct ModContext;
}

namespace screen {

class TableLines;
class Widget;

class ScreenView final : public ui::ContainerControl {
public:
    // Loads the screen file at path (a path of the virtual file system) of
    // the mounted module. graphics and files must outlive the view. limits
    // bound every Lua state of the view: the screen's, the colour table's,
    // the style sheets' and the font files'.
    ScreenView(const gfx::GraphicsContext& graphics, const Mod::ModContext& files, const std::string& path,
               const assets::Limits& limits = {});
    ~ScreenView() override;

    const std::string& path() const { return path_; }
    const gfx::GraphicsContext& graphics() const { return *graphics_; }
    const Mod::ModContext& files() const { return *files_; }
    assets::ScreenAssets& assets() { return assets_; }
    ViewResources& resources() { return resources_; }
    lua_State* lua() const { return lua_.get(); }

    // What loading, building and painting the screen found wrong with it
    // (base/finding.h), in the order found.
    // The keys of its tables are looked at on the first call (key_check.h),
    // and what was found so far is put in the order of the file's lines.
    const base::FindingList& findings() const;
    // Where the parts of the screen add their findings.
    ScreenFindings& screenFindings() { return findings_; }

    // Whether painting notes text that does not fit its box ("text-overflow",
    // naming the view's size); off unless asked for, since a window is drawn
    // at every size it is dragged through.
    void setCheckTextFit(bool check) { checkTextFit_ = check; }
    bool checksTextFit() const { return checkTextFit_; }

    // The line of the screen file where a table of the screen's state (as
    // lua_topointer gives it) was created, if the screen file created it
    // (Widget::line, ArtItem::line). The table must still be alive.
    std::optional<int> tableLine(const void* table) const;

    // The roots built from `Screen.Widgets` and `Screen.TooltipWidgets`;
    // either may be null.
    Widget* widgetsRoot() const { return widgetsRoot_; }
    Widget* tooltipRoot() const { return tooltipRoot_; }

    // The first widget with that name (its bytes compared exactly), searched
    // depth first in Lua order, the widget tree before the tooltip tree; null
    // when none has it.
    Widget* findWidget(std::string_view name) const;

    // Emphasis, as the widget tree panel selects it. The previous widget,
    // its direct child widgets and its ancestors lose shownForSelection; the
    // new one (or none) and the same relatives get it; then a repaint is
    // asked for.
    void setEmphasizedWidget(Widget* widget);
    Widget* emphasizedWidget() const { return emphasizedWidget_; }
    // The dimming of everything but the emphasized widget: below 1 it is
    // the opacity of the rest; 1 or more, nothing is dimmed.
    float emphasisFade() const { return emphasisFade_; }
    void setEmphasisFade(float fade);

    // The tooltip widget whose text the hovered widget set last, or null.
    Widget* currentTooltipWidget() const { return currentTooltipWidget_; }

    // The width of a 4:3 view of the same area, sqrt(width × height × 4 / 3):
    // the width by which fonts choose their size.
    float referenceWidth() const;

    // True from the start of the view's destruction (or of a failed load's
    // undoing): its widgets are going.
    bool closing() const { return closing_; }

    // Repaint by device pixels of the target the view was last painted on:
    // the rectangle alone, or everything before the first paint.
    void invalidateDevice(const gfx::Rect& rect);
    // The transform that the last paint drew control (the view's or a
    // descendant) with; false before the first paint.
    bool paintedTransform(const ui::Control& control, gfx::Matrix& matrix) const;
    // Changes with every change that asks to repaint everything, and with
    // the transform the view is painted with: where widgets drew before it
    // changed says nothing of where they draw.
    std::uint64_t drawnStamp() const { return drawnStamp_; }
    // Anything that changed asks for everything to be repainted.
    void invalidate() override;

    // Maps the unit square onto the view's rectangle.
    const gfx::Matrix& transform() const override;
    // Hit inside the view's rectangle (the unit square), Miss outside.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

private:
    friend class Widget;
    static int instantiate(lua_State* state);
    void buildRoots(lua_State* state);
    // What is wrong with `Screen` and its roots; the Screen table on top.
    void checkScreenTable(lua_State* state);
    // Whether painting widget must lift the dimming around it.
    bool dimsAround(const Widget& widget) const { return emphasizedWidget_ == &widget && emphasisFade_ < 1.0f; }
    void pushEmphasisLayer(gfx::RenderTarget& target);
    void markSelection(Widget* widget, bool shown);

    const gfx::GraphicsContext* graphics_;
    const Mod::ModContext* files_;
    std::string path_;
    assets::ScreenAssets assets_;
    ViewResources resources_;
    assets::StatePtr lua_;
    Widget* currentTooltipWidget_ = nullptr;
    Widget* widgetsRoot_ = nullptr;
    Widget* tooltipRoot_ = nullptr;
    Widget* emphasizedWidget_ = nullptr;
    float emphasisFade_ = 1.0f;
    mutable gfx::Matrix contentTransform_;
    mutable ScreenFindings findings_;
    mutable bool keysChecked_ = false;
    bool checkTextFit_ = false;
    // The lines of the chunk's tables; while building, the table being built.
    std::unique_ptr<TableLines> tableLines_;
    const void* buildingTable_ = nullptr;
    std::optional<gfx::Matrix> paintedAt_; // the content transform of the last paint, on its target
    bool closing_ = false;
    std::uint64_t drawnStamp_ = 1;
};

} // namespace screen
