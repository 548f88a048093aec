#include "screen/key_check.h"

#include "screen/art_item.h"
#include "screen/lua_protect.h"
#include "screen/screen_findings.h"
#include "screen/screen_view.h"
#include "screen/table_watch.h"
#include "screen/widget.h"

#include <lua.hpp>

#include <exception>
#include <memory>

namespace screen {

namespace {

class KeyCheck {
public:
    KeyCheck(ScreenFindings& findings, lua_State* state)
        : findings_(findings), lua_(state), widgetKeys_(state, widgetKeys()), presentationKeys_(state, {"Art"})
    {
        for (const ArtKind kind : {ArtKind::Texture, ArtKind::Text, ArtKind::Rectangle, ArtKind::Line, ArtKind::Flash})
            artKeys_[static_cast<std::size_t>(kind)] = std::make_unique<KnownKeys>(state, artKeys(kind));
    }

    void widget(const Widget* widget)
    {
        if (!widget)
            return;
        if (widget->tableRef() >= 0 && widget->lua() == lua_) {
            const TableRef own{lua_, widget->tableRef()};
            TableWatch watch;
            watch.unknownKeys(own, widgetKeys_, false, nullptr,
                              "child widgets go in Children = { ... }, art items in Presentation = { Art = { ... } }");
            pushTable(own);
            lua_pushstring(lua_, "Presentation");
            lua_rawget(lua_, -2);
            if (lua_istable(lua_, -1)) {
                const TableRef presentation = takeReference(lua_);
                watch.unknownKeys(presentation, presentationKeys_, false, "Presentation",
                                  "art items go in Presentation = { Art = { ... } }");
                dropReference(presentation);
            } else {
                lua_pop(lua_, 1);
            }
            lua_pop(lua_, 1);
            for (TableWatch::Note& note : watch.take())
                findings_.add(note.code, "widget \"" + widget->name() + "\"" + note.text,
                                           std::move(note.hint), *widget);
        }
        const std::vector<ArtItem*>& art = widget->artItems();
        for (std::size_t i = art.size(); i-- > 0;)
            artItem(*art[i], *widget, static_cast<int>(art.size() - i));
        for (auto child = widget->children().rbegin(); child != widget->children().rend(); ++child)
            this->widget(*child);
    }

private:
    void artItem(const ArtItem& art, const Widget& owner, int element)
    {
        const KnownKeys* known = artKeys_[static_cast<std::size_t>(art.kind())].get();
        if (!known || art.tableRef() < 0 || art.lua() != lua_)
            return;
        TableWatch watch;
        watch.unknownKeys({lua_, art.tableRef()}, *known, true, nullptr,
                          "an art table's properties are named: type = ...");
        for (TableWatch::Note& note : watch.take())
            findings_.add(note.code,
                                       "widget \"" + owner.name() + "\", art " + std::to_string(element) + " (" +
                                           art.typeName().value_or("") + ")" + note.text,
                                       std::move(note.hint), art);
    }

    ScreenFindings& findings_;
    lua_State* lua_;
    KnownKeys widgetKeys_;
    KnownKeys presentationKeys_;
    std::unique_ptr<KnownKeys> artKeys_[6]; // by ArtKind; none for the base kind
};

} // namespace

void checkTableKeys(const ScreenView& view, ScreenFindings& findings)
{
    if (!view.lua())
        return;
    runProtected(view.lua(), [&](lua_State* L) {
        try {
            KeyCheck check(findings, L);
            check.widget(view.widgetsRoot());
            check.widget(view.tooltipRoot());
        } catch (const std::exception&) {
            // Out of room: the keys looked at so far are said.
        }
    });
}

} // namespace screen
