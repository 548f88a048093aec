#pragma once
// What the screen tests load screens from: a real installation in a temporary
// folder with one module ("Test.module", data folder Mod/Data and archive
// Mod/Packed.sga), mounted through the real mounter. It holds a colour table,
// the font "body" (DejaVu Sans, 16 at width 1024, 12 at 800), the font
// "plain" (DejaVu Sans 16, no size table: the same size at any width), the
// placeholder font, and an English string table with $1 = "Localised".
// Screens are Lua text written under art/ui/screens/.

#include "data/mount_module.h"
#include "gfx/bitmap.h"
#include "gfx/graphics_context.h"
#include "screen/screen_view.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ScreenTest {

class TestModule {
public:
    TestModule();

    // A file of the data folder (path relative to it, "/" separated).
    void write(const std::string& path, const std::string& bytes);
    // art/ui/screens/NAME.
    void writeScreen(const std::string& name, const std::string& lua);
    // Members of Mod/Packed.sga (zlib streams where that makes them
    // smaller, unless compress is false); only before the first load.
    void pack(std::vector<std::pair<std::string, std::string>> members, bool compress = true);

    static std::string screenPath(const std::string& name) { return "art/ui/screens/" + name; }
    // The installation's folder on disk.
    const TestSupport::TempDir& dir() const { return dir_; }
    // Where on disk: the module file, and a file of the data folder.
    std::string modulePath() const { return dir_ / "Test.module"; }
    std::string diskPath(const std::string& path) const { return dir_ / ("Mod/Data/" + path); }

    // Mounts on first use.
    const Mod::ModContext& context();
    std::unique_ptr<screen::ScreenView> load(const std::string& name, const assets::Limits& limits = {});
    // The message of the error that loading throws ("" and a test failure
    // when it loads).
    std::string loadError(const std::string& name, const assets::Limits& limits = {});

    gfx::GraphicsContext graphics;

private:
    TestSupport::TempDir dir_;
    Mod::ModContext context_;
    bool mounted_ = false;
    std::vector<std::pair<std::string, std::string>> packed_;
    bool compressPacked_ = true;
};

// One screen file loaded from a fresh module.
std::unique_ptr<screen::ScreenView> loadScreen(TestModule& module, const std::string& lua);

// Pixels of a rendered bitmap: straight channels over the white background
// (opaque wherever the root painted).
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& p);
Rgb pixel(const gfx::Bitmap& bitmap, int x, int y);
// Whether each channel is within tolerance.
testing::AssertionResult near(Rgb actual, Rgb expected, int tolerance = 3);
// Pixels in the rectangle [x0, x1) × [y0, y1) that show neither the white
// background nor the checkerboard.
int inkCount(const gfx::Bitmap& bitmap, int x0, int y0, int x1, int y1);

inline constexpr Rgb White{255, 255, 255};
// The checkerboard's dark squares over white: black at alpha 32/255 (Qt's
// blending rounds 223 up).
inline constexpr Rgb CheckerDark{224, 224, 224};

} // namespace ScreenTest
