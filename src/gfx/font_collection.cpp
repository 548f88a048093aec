#include "gfx/font_collection.h"

#include "gfx/font_file_registration.h"

#include <QString>

#include <cstdlib>
#include <limits>

namespace gfx {

namespace {

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

} // namespace

FontCollection::FontCollection(const GraphicsContext&, std::span<const std::string_view> files)
{
    for (std::string_view file : files) {
        std::shared_ptr<const FontFileRegistration> registration = FontFileRegistration::of(file);
        if (!registration)
            continue;
        for (std::size_t i = 0; i < registration->faces().size(); ++i) {
            if (registration->families()[i].empty())
                continue; // the text system could not read this font of the file
            CollectionFont entry{registration->faces()[i], registration->families()[i]};
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
        registrations_.push_back(std::move(registration));
    }
}

FontCollection::~FontCollection() = default;

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
