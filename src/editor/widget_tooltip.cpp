#include "editor/widget_tooltip.h"

#include "data/ansi_text.h"
#include "editor/finding_target.h"
#include "data/mod_context.h"
#include "screen/screen_view.h"
#include "screen/widget.h"
#include "screen/widget_report.h"

#include <QStringList>
#include <QTextDocument>

#include <cmath>
#include <exception>

namespace editor {

namespace {

QString game(const std::string& bytes) { return QString::fromStdU16String(Mod::ansiToUtf16(bytes)); }
QString quoted(const std::string& bytes) { return u'"' + game(bytes) + u'"'; }

QString number(float value) { return QString::number(static_cast<double>(value), 'g', 4); }

QString boundsText(const screen::Bounds& b)
{
    return number(b.x) + ", " + number(b.y) + ", " + number(b.width) + " \u00d7 " + number(b.height);
}

QString channels(const gfx::Color& c)
{
    const auto byte = [](float v) { return QString::number(std::lround(std::isfinite(v) ? v * 255.0f : 0.0f)); };
    return byte(c.r) + " " + byte(c.g) + " " + byte(c.b) + " " + byte(c.a);
}

const char* horizontalName(int value)
{
    switch (value) {
    case 0: return "leading";
    case 1: return "trailing";
    case 2: return "centre";
    default: return "?";
    }
}

const char* verticalName(int value)
{
    switch (value) {
    case 0: return "near";
    case 1: return "far";
    case 2: return "centre";
    default: return "?";
    }
}

QString styleText(const screen::StyleReference& style)
{
    if (!style.sheet && !style.name)
        return "style: none";
    return "style: " + (style.sheet ? game(*style.sheet) : QString("?")) + "." +
           (style.name ? game(*style.name) : QString("?")) + (style.found ? " (found)" : " (not found)");
}

void artLines(const screen::ArtReport& art, int index, const std::string& root, QStringList& lines)
{
    QString head = QString("art %1: %2").arg(index).arg(art.kind);
    if (art.type)
        head += " " + quoted(*art.type);
    QStringList states;
    for (const int flag : art.states)
        states << QString::number(flag);
    head += ", states " + (states.isEmpty() ? QString("none") : states.join(' ')) + ", bounds " +
            boundsText(art.bounds);
    lines << head;
    if (art.texture) {
        using Status = assets::TextureCache::Status;
        QString line = "  texture " + quoted(*art.texture) + ": ";
        if (art.textureStatus == Status::Ok)
            line += "resolved";
        else
            line += (art.textureStatus == Status::Missing ? "missing (" : "invalid (") + game(art.textureReason) +
                    "), drawn as the magenta placeholder";
        if (art.textureOrigin)
            line += ", from " + game(Mod::shortSourceName(art.textureOrigin->source, root));
        lines << line;
    }
    if (art.fontname) {
        lines << "  font " + quoted(*art.fontname) + ": " +
                     (art.fontFallback ? QString("fell back to ") : QString()) +
                     QString::fromStdU16String(art.typeface) + ", " + number(art.fontSize) + " DIPs";
    }
    for (const screen::NamedColour& colour : art.colours)
        lines << "  " + QString(colour.property) + " " + channels(colour.value.color) +
                     (colour.value.key ? " from " + quoted(*colour.value.key) : QString());
    if (art.horzAlign && art.vertAlign)
        lines << QString("  horzAlign %1 (%2), vertAlign %3 (%4)")
                     .arg(*art.horzAlign)
                     .arg(horizontalName(*art.horzAlign))
                     .arg(*art.vertAlign)
                     .arg(verticalName(*art.vertAlign));
}

} // namespace

QString widgetTooltip(const screen::Widget& widget)
{
    const screen::WidgetReport r = screen::reportWidget(widget);
    QStringList lines;
    lines << (r.type ? "type " + quoted(*r.type) : QString("no type")) + " (" + r.kind + "), name " + quoted(r.name);
    const gfx::Rect& px = r.pixelBounds;
    lines << "bounds " + boundsText(r.bounds) + " of the parent; " + number(px.left) + ", " + number(px.top) + ", " +
                 number(px.width()) + " \u00d7 " + number(px.height()) + " px in the view";
    lines << styleText(r.style);
    lines << QString("visible: ") + (r.visible ? "yes" : "no");
    if (r.text)
        lines << "text " + quoted(*r.text) + " \u2192 \"" + QString::fromStdU16String(*r.localisedText) + "\"";
    else
        lines << "text: none";
    lines << "tooltip_text " + quoted(r.tooltipText) + ", tooltip widget " +
                 (r.tooltipWidget ? quoted(*r.tooltipWidget) : QString("none"));
    for (std::size_t i = 0; i < r.art.size(); ++i)
        artLines(r.art[i], static_cast<int>(i + 1), widget.screen().files().root, lines);
    const std::vector<base::Finding> problems = findingsOf(widget.screen(), widget, widget.screen().findings());
    for (const base::Finding& finding : problems) {
        lines << QString::fromUtf8(base::levelName(finding.level)) + ": " + game(finding.message) +
                     (finding.line ? QString(" (line %1)").arg(*finding.line) : QString());
        if (finding.hint)
            lines << "  " + game(*finding.hint);
    }
    return lines.join('\n');
}

WidgetItem::WidgetItem(const QString& text, const screen::Widget& widget)
    : QTreeWidgetItem(QStringList(text)), widget_(&widget)
{
}

QVariant WidgetItem::data(int column, int role) const
{
    if (role != Qt::ToolTipRole)
        return QTreeWidgetItem::data(column, role);
    QString text;
    try {
        text = widgetTooltip(*widget_);
    } catch (const std::exception& error) {
        text = QString::fromUtf8(error.what());
    }
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

} // namespace editor
