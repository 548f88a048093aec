#include "gfx/font_file_registration.h"

#include "gfx/font_family_renamer.h"
#include "gfx/qt_bridge.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <mutex>

namespace gfx {

namespace {

// A family name that no installed font and no other registration has.
std::u16string uniqueFamilyName()
{
    static std::atomic<unsigned> serial{0};
    const QString name = QStringLiteral("TISE Collection Font ") + QString::number(++serial);
    return std::u16string(reinterpret_cast<const char16_t*>(name.utf16()), static_cast<std::size_t>(name.size()));
}

// The registrations someone holds, found by their bytes.
struct Registry {
    std::mutex mutex;
    std::vector<std::weak_ptr<const FontFileRegistration>> live;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

FontFileRegistration::~FontFileRegistration()
{
    if (id_ >= 0)
        QFontDatabase::removeApplicationFont(id_);
}

std::shared_ptr<const FontFileRegistration> FontFileRegistration::of(std::string_view bytes)
{
    const std::size_t hash = std::hash<std::string_view>()(bytes);
    Registry& known = registry();
    const std::lock_guard lock(known.mutex);
    std::erase_if(known.live, [](const std::weak_ptr<const FontFileRegistration>& r) { return r.expired(); });
    for (const std::weak_ptr<const FontFileRegistration>& entry : known.live) {
        std::shared_ptr<const FontFileRegistration> held = entry.lock();
        if (held && held->hash_ == hash && held->bytes_ == bytes)
            return held;
    }

    std::vector<FontFace> faces = readFontFaces(bytes);
    if (faces.empty())
        return nullptr;
    // Each font is registered under a name of its own, so that formats that
    // name a collection find exactly its fonts, and formats that do not
    // never find them.
    std::vector<FamilyRename> renames;
    for (const FontFace& face : faces)
        renames.push_back({face.fontIndex, uniqueFamilyName()});
    const std::optional<std::string> renamed = renameFontFamilies(bytes, renames);
    if (!renamed || renamed->size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return nullptr;
    const int id = QFontDatabase::addApplicationFontFromData(
        QByteArray(renamed->data(), static_cast<qsizetype>(renamed->size())));
    if (id < 0)
        return nullptr;

    std::shared_ptr<FontFileRegistration> registration(new FontFileRegistration);
    registration->bytes_ = std::string(bytes);
    registration->hash_ = hash;
    registration->id_ = id;
    const QStringList registered = QFontDatabase::applicationFontFamilies(id);
    for (const FamilyRename& rename : renames)
        registration->families_.push_back(registered.contains(toQString(rename.family)) ? rename.family
                                                                                          : std::u16string());
    registration->faces_ = std::move(faces);
    known.live.push_back(registration);
    return registration;
}

} // namespace gfx
