#include "ui/selector_brushes.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace ui {

namespace {

using gfx::Color;

gfx::GradientStopCollectionPtr stops(std::initializer_list<gfx::GradientStop> list)
{
    const std::vector<gfx::GradientStop> all(list);
    return std::make_shared<const gfx::GradientStopCollection>(all, gfx::ExtendMode::Clamp);
}

} // namespace

SelectorBrushes::SelectorBrushes()
    : headerText(Color::fromBytes(102, 112, 131)),
      rule(Color::fromBytes(209, 226, 252)),
      itemText(Color::fromBytes(0, 102, 204)),
      hoverOutline(Color::fromBytes(229, 195, 101)),
      black(Color::fromBytes(0, 0, 0)),
      white(Color::fromBytes(255, 255, 255)),
      hoverGradient({0, 0}, {0, 0},
                    stops({{0.0f, Color::fromBytes(255, 255, 255)},
                           {0.5f, Color::fromBytes(255, 243, 207)},
                           {0.5f, Color::fromBytes(255, 236, 181)},
                           {1.0f, Color::fromBytes(255, 236, 181)}})),
      bandGradient({0, 0}, {0, 0},
                   stops({{0.0f, Color::fromBytes(77, 96, 130)}, {1.0f, Color::fromBytes(61, 82, 119)}})),
      backgroundGradient({0, 0}, {0, 0},
                         stops({{0.0f, Color::fromBytes(255, 255, 255)},
                                {1.0f, Color::fromBytes(226, 237, 253)}}))
{
}

void stretchVertically(gfx::LinearGradientBrush& brush, float height)
{
    brush.setStartPoint({0, 0});
    brush.setEndPoint({0, height});
}

} // namespace ui
