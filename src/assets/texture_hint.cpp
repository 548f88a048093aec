#include "assets/texture_hint.h"

#include "base/byte_reader.h"

#include <cstdint>

namespace assets {

namespace {

const char* const SaveAs = "save it as DDS with DXT1, DXT3 or DXT5 compression, or as an uncompressed 24- or 32-bit "
                           "TGA 2.0 (with its footer)";
const char* const RowOrder = "; the game draws a texture's first stored row at the bottom, so DDS files (stored top "
                             "row first) and top-down TGA files come out upside down unless flipped before saving";

std::uint8_t byteAt(std::string_view bytes, std::size_t at)
{
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : 0;
}

// What the bytes are, when the decoder did not recognise them.
std::string unrecognised(std::string_view bytes)
{
    if (bytes.starts_with("\x89PNG\r\n\x1A\n"))
        return "the file is a PNG image";
    if (bytes.starts_with("\xFF\xD8\xFF"))
        return "the file is a JPEG image";
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return "the file is a GIF image";
    if (bytes.starts_with("BM") && bytes.size() >= 26)
        return "the file is a BMP image";
    if (bytes.starts_with("DDS "))
        return "the file is a DDS image shorter than its 128-byte header";
    // A TGA header without the footer: a TGA 1.0 file, as most tools write.
    const std::uint8_t mapType = byteAt(bytes, 1), type = byteAt(bytes, 2), depth = byteAt(bytes, 16);
    const bool tgaType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool tgaDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    if (bytes.size() >= 18 && mapType <= 1 && tgaType && tgaDepth && byteAt(bytes, 12) + byteAt(bytes, 13) > 0)
        return "the file looks like a TGA without the TGA 2.0 footer (\"TRUEVISION-XFILE.\"), which the game requires";
    return "the file is neither a DDS nor a TGA image";
}

std::string rejectedTga(std::string_view bytes)
{
    switch (byteAt(bytes, 2)) {
    case 9: return "the TGA is colour-mapped and run-length coded";
    case 10: return "the TGA is run-length coded (compressed)";
    case 11: return "the TGA is greyscale and run-length coded";
    case 1: return "the TGA is colour-mapped";
    case 3: return "the TGA is greyscale";
    default: return "the TGA is of image type " + std::to_string(byteAt(bytes, 2));
    }
}

std::string rejectedDds(std::string_view bytes)
{
    constexpr std::uint32_t FourCCPresent = 0x4;
    if (bytes.size() < 88)
        return "the DDS header is incomplete";
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (!(base::readLe32(data + 80) & FourCCPresent))
        return "the DDS is uncompressed";
    const std::string_view fourCC = bytes.substr(84, 4);
    if (fourCC == "DX10")
        return "the DDS has a DX10 header";
    std::string shown;
    for (const char c : fourCC)
        shown += c >= 0x20 && c < 0x7F ? c : '?';
    return "the DDS is compressed as " + shown;
}

} // namespace

std::string textureHint(std::string_view bytes, std::string_view message)
{
    std::string what;
    if (message == "Unrecognised image format")
        what = unrecognised(bytes);
    else if (message == "Only truecolour TGA files are supported")
        what = rejectedTga(bytes);
    else if (message == "Only 24bpp and 32bpp TGA files are supported")
        what = "the TGA has " + std::to_string(byteAt(bytes, 16)) + " bits per pixel";
    else if (message == "Only DXT[n] and DX10 DDS files are supported")
        what = rejectedDds(bytes);
    else if (message == "Incomplete TGA file" || message == "Incomplete DDS file")
        what = "the file is shorter than its header says";
    else
        what = "the texture could not be made";
    return what + ": " + SaveAs + RowOrder;
}

} // namespace assets
