#pragma once
// The tooltip of a widget's item in the widget tree panel: what the widget
// was built from and what its values resolved to (screen/widget_report.h),
// one fact per line, so a modder can see why a widget draws as it does
// without reading the screen file. Last come the widget's findings
// (ScreenView::findings that concern it, editor/finding_target.h), each with
// its level, message and line, and its hint on the next line.
//
// The text is made when the tooltip is asked for: pixel bounds are those of
// the view as it is shown then. Resolving may decode a texture not drawn
// yet; a failure to do so shows as the tooltip's text instead.

#include <QString>
#include <QTreeWidgetItem>

namespace screen {
class Widget;
}

namespace editor {

// The lines, plain text (game strings decoded as the viewer shows them).
QString widgetTooltip(const screen::Widget& widget);

// A panel item standing for a widget, answering Qt::ToolTipRole with the
// tooltip (as rich text that keeps the lines and shows game text literally).
class WidgetItem final : public QTreeWidgetItem {
public:
    WidgetItem(const QString& text, const screen::Widget& widget);
    QVariant data(int column, int role) const override;

private:
    const screen::Widget* widget_;
};

} // namespace editor
