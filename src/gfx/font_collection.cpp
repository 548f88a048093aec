#include "gfx/font_collection.h"

#include "gfx/font_family_renamer.h"
#include "gfx/qt_bridge.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdlib>
#include <limits>

namespace gfx {

namespace {

std::u16string fromQString(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return QStringView(a).compare(QStringView(b), Qt::CaseInsensitive) == 0;
}

bool hasName(const std::vector<LocalizedName>& names, std::u16string_view wanted)
{
    for (const LocalizedName& name : names)
        if (equalIgnoringCase(name.text, wanted))
            return true;
    return false;
}

// The name a family is grouped by: its US English name, else its first.
const std::u16string& groupingName(const std::vector<LocalizedName>& names)
{
    for (const LocalizedName& name : names)
        if (name.locale == u"en-us")
            return name.text;
    return names.front().text;
}

// A family name that no installed font and no other registration has.
std::u16string uniqueFamilyName()
{
    static std::atomic<unsigned> serial{0};
    return u"TISE Collection Font " + fromQString(QString::number(++serial));
}

} // namespace

FontCollection::FontCollection(const GraphicsContext&, std::span<const std::string_view> files)
{
    for (std::string_view file : files) {
        std::vector<FontFace> fonts = readFontFaces(file);
        if (fonts.empty())
            continue;
        // Each font is registered under a name of its own, so that formats
        // that name the collection find exactly its fonts, and formats that
        // do not never find them.
        std::vector<FamilyRename> renames;
        for (const FontFace& font : fonts)
            renames.push_back({font.fontIndex, uniqueFamilyName()});
        const std::optional<std::string> renamed = renameFontFamilies(file, renames);
        if (!renamed || renamed->size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            continue;
        const int id = QFontDatabase::addApplicationFontFromData(
            QByteArray(renamed->data(), static_cast<qsizetype>(renamed->size())));
        if (id < 0)
            continue;
        registrations_.push_back(id);
        const QStringList registered = QFontDatabase::applicationFontFamilies(id);

        for (std::size_t i = 0; i < fonts.size(); ++i) {
            if (!registered.contains(toQString(renames[i].family)))
                continue; // the text system could not read this font of the file
            CollectionFont entry{std::move(fonts[i]), renames[i].family};
            const std::u16string& key = groupingName(entry.face.familyNames);
            FontFamily* family = nullptr;
            for (FontFamily& existing : families_)
                if (groupingName(existing.names) == key)
                    family = &existing;
            if (!family) {
                families_.push_back({entry.face.familyNames, {}});
                family = &families_.back();
            }
            family->fonts.push_back(std::move(entry));
        }
    }
}

FontCollection::~FontCollection()
{
    for (int id : registrations_)
        QFontDatabase::removeApplicationFont(id);
}

const FontFamily* FontCollection::findFamily(std::u16string_view name) const
{
    for (const FontFamily& family : families_)
        if (hasName(family.names, name))
            return &family;
    return nullptr;
}

const CollectionFont* FontCollection::matchFont(std::u16string_view familyName, FontWeight weight,
                                                FontStyle style, FontStretch stretch) const
{
    const FontFamily* family = findFamily(familyName);
    if (!family)
        return nullptr;
    const CollectionFont* best = nullptr;
    long bestDistance = std::numeric_limits<long>::max();
    for (const CollectionFont& font : family->fonts) {
        const FontFace& d = font.face;
        const long distance =
            std::labs(static_cast<long>(d.stretch) - static_cast<long>(stretch)) * 1'000'000 +
            (d.style == style ? 0 : 10'000) +
            std::labs(static_cast<long>(d.weight) - static_cast<long>(weight));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &font;
        }
    }
    return best;
}

} // namespace gfx
