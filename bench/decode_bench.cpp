// Texture decoding throughput: the texture device's block decoding against
// libsquish's DecompressImage and against copying the output's bytes, on the
// same 2048 × 2048 textures. Select with --benchmark_filter=Decode; compare
// the pixels-per-second counters.

#include "fixtures/dxt_blocks.h"
#include "gfx/texture_device.h"

#include <benchmark/benchmark.h>
#include <squish.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int Side = 2048;
constexpr std::size_t Pixels = std::size_t{Side} * Side;

// A picture like game art: smooth gradients, fine noise, and round holes of
// transparency (so DXT1 has blocks in both of its modes).
std::vector<std::uint8_t> picture()
{
    std::vector<std::uint8_t> bgra(Pixels * 4);
    std::uint32_t noise = 12345;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int jitter = static_cast<int>(noise >> 28) - 8;
            const int dx = x % 256 - 128, dy = y % 256 - 128;
            const int radius2 = dx * dx + dy * dy;
            std::uint8_t* p = &bgra[(static_cast<std::size_t>(y) * Side + x) * 4];
            p[0] = static_cast<std::uint8_t>(std::clamp(x / 8 + jitter, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(y / 8 + jitter, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp((x + y) / 16 + jitter, 0, 255));
            p[3] = radius2 < 40 * 40 ? 0 : static_cast<std::uint8_t>(std::clamp(radius2 / 64, 0, 255));
        }
    }
    return bgra;
}

const std::string& blocks(Fixtures::Dxt kind)
{
    static const std::vector<std::uint8_t> source = picture();
    static const std::string bc1 = Fixtures::compressDxt(source, Side, Side, Fixtures::Dxt::Dxt1);
    static const std::string bc3 = Fixtures::compressDxt(source, Side, Side, Fixtures::Dxt::Dxt5);
    return kind == Fixtures::Dxt::Dxt1 ? bc1 : bc3;
}

void reportRate(benchmark::State& state)
{
    // Shown as pixels per second: "pixels=431M/s" is 431 megapixels a second.
    state.counters["pixels"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * Pixels, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Pixels * 4));
}

void decodeTise(benchmark::State& state, Fixtures::Dxt kind)
{
    const std::string& data = blocks(kind);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    const bool bc1 = kind == Fixtures::Dxt::Dxt1;
    gfx::TextureDevice device;
    for (auto _ : state) {
        const gfx::BitmapPtr bitmap = device.convert(Side, Side, bytes, Side / 4 * (bc1 ? 8 : 16),
                                                     bc1 ? gfx::TextureFormat::BC1 : gfx::TextureFormat::BC3,
                                                     gfx::AlphaMode::Straight);
        benchmark::DoNotOptimize(bitmap->pixels.data());
    }
    reportRate(state);
}

void decodeSquish(benchmark::State& state, Fixtures::Dxt kind)
{
    const std::string& data = blocks(kind);
    std::vector<squish::u8> rgba(Pixels * 4);
    const int flags = kind == Fixtures::Dxt::Dxt1 ? squish::kDxt1 : squish::kDxt5;
    for (auto _ : state) {
        squish::DecompressImage(rgba.data(), Side, Side, data.data(), flags);
        benchmark::DoNotOptimize(rgba.data());
        benchmark::ClobberMemory();
    }
    reportRate(state);
}

void copyOutput(benchmark::State& state)
{
    const std::vector<std::uint8_t> source(Pixels * 4, 0x5A);
    std::vector<std::uint8_t> target(Pixels * 4);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    reportRate(state);
}

const bool registered = [] {
    for (const auto& [name, kind] : {std::pair{"BC1", Fixtures::Dxt::Dxt1}, std::pair{"BC3", Fixtures::Dxt::Dxt5}}) {
        const std::string prefix = std::string("Decode/") + name;
        benchmark::RegisterBenchmark((prefix + "/tise").c_str(), decodeTise, kind)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((prefix + "/squish").c_str(), decodeSquish, kind)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((prefix + "/memcpy").c_str(), copyOutput)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
