#include "test_module.h"

#include "../gfx/font_test_data.h"
#include "data/sga_writer.h"
#include "fixtures/ucs_builder.h"

#include <cstdlib>
#include <ostream>

namespace ScreenTest {

TestModule::TestModule()
{
    dir_.write("Test.module", "[global]\nModFolder = Mod\nDataFolder.1 = Data\nArchiveFile.1 = Packed\n");
    write("Font/DejaVuSans.ttf", GfxTest::readDejaVu("DejaVuSans.ttf"));
    write("Font/body.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16, size800 = 12, size1024 = 16 }");
    write("Font/plain.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
    write("Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
    write("art/ui/styles/colourtable.colours", "ColourTable = {\n"
                                               "  { key = 'red', value = { 255, 0, 0, 255 } },\n"
                                               "  { key = 'blue', value = { 0, 0, 255, 255 } },\n"
                                               "  { key = 'half_green', value = { 0, 255, 0, 128 } },\n"
                                               "}\n");
    dir_.write("Mod/Locale/English/strings.ucs", Fixtures::ucsFile({{1, "Localised"}}));
}

void TestModule::write(const std::string& path, const std::string& bytes) { dir_.write("Mod/Data/" + path, bytes); }

void TestModule::writeScreen(const std::string& name, const std::string& lua) { write(screenPath(name), lua); }

void TestModule::pack(std::vector<std::pair<std::string, std::string>> members, bool compress)
{
    EXPECT_FALSE(mounted_) << "archives are read when the module is mounted";
    packed_ = std::move(members);
    compressPacked_ = compress;
}

const Mod::ModContext& TestModule::context()
{
    if (!mounted_) {
        std::vector<Mod::SgaMember> members;
        for (const auto& [path, data] : packed_)
            members.push_back({path, data});
        dir_.write("Mod/Packed.sga", Mod::writeSga(members, compressPacked_));
        Mod::MountModule(context_, dir_ / "Test.module");
        mounted_ = true;
    }
    return context_;
}

std::unique_ptr<screen::ScreenView> TestModule::load(const std::string& name, const assets::Limits& limits)
{
    return std::make_unique<screen::ScreenView>(graphics, context(), screenPath(name), limits);
}

std::string TestModule::loadError(const std::string& name, const assets::Limits& limits)
{
    try {
        load(name, limits);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    ADD_FAILURE() << name << " loaded without an error";
    return "";
}

std::unique_ptr<screen::ScreenView> loadScreen(TestModule& module, const std::string& lua)
{
    module.writeScreen("test.screen", lua);
    return module.load("test.screen");
}

std::ostream& operator<<(std::ostream& out, const Rgb& p)
{
    return out << "rgb(" << p.r << ", " << p.g << ", " << p.b << ')';
}

Rgb pixel(const gfx::Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.row(y) + 4 * x;
    return {p[2], p[1], p[0]};
}

testing::AssertionResult near(Rgb actual, Rgb expected, int tolerance)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << actual << " is not within " << tolerance << " of " << expected;
}

int inkCount(const gfx::Bitmap& bitmap, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += !near(pixel(bitmap, x, y), White, 2) && !near(pixel(bitmap, x, y), CheckerDark, 2);
    return count;
}

} // namespace ScreenTest
