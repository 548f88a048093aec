#pragma once
// The "Problems" tool window of the viewer: what is wrong with the mounted
// module and the shown screen (base/finding.h), one row per finding with its
// level, message, hint, file and line. It opens from the screen's view menu
// ("Problems (N)") and floats above the main window.
//
// - Rows: the module's findings, then the screen's, each in the order found
//   (ScreenHost::problems); without a screen shown, the module's alone.
// - Choosing a row whose finding concerns a widget of the shown screen
//   (editor/finding_target.h) selects that widget in the Widgets panel, as
//   ctrl+click on the drawing does.
// - Ctrl+C and the context menu's "Copy" put the selected rows on the
//   clipboard: per row `FILE:LINE: LEVEL: MESSAGE` (an archive member as
//   `ARCHIVE[MEMBER]`, without a line `FILE: LEVEL: MESSAGE`, located in no
//   file the screen's name in place of FILE), and its hint, when it has one,
//   on the next line as `FILE:LINE: note: HINT`.
// - The list follows what the main window shows: after a reload, another
//   module or screen, and as the screen's findings grow during its first
//   paint, it lists what is there now (it looks four times a second while
//   open, and at once when asked to refresh). It stays open throughout.
//
// Ownership: the main window makes it (MainWindow::showProblems) and
// destroys it with itself. When the user closes it, it goes and tells the
// main window.

#include "app/native_window.h"
#include "base/finding.h"

#include <QString>

#include <memory>
#include <vector>

class QObject;
class QTreeWidget;
class QTreeWidgetItem;

namespace editor {

class MainWindow;

class ProblemsWindow final : public app::NativeWindow {
public:
    // Builds, fills and shows the window above window's.
    explicit ProblemsWindow(MainWindow& window);
    ~ProblemsWindow() override;

    QTreeWidget& list() const { return *list_; }
    // The findings of the rows, in row order.
    const std::vector<base::Finding>& findings() const { return findings_; }
    // Lists what the main window shows now, when that is not what it lists.
    void refresh();
    // The clipboard text of the selected rows, in row order.
    QString copiedText() const;
    // Selects the widget that the row's finding concerns, when it concerns one.
    void choose(const QTreeWidgetItem* row);

protected:
    bool handleEvent(QEvent& event) override;

private:
    void fill();

    MainWindow* window_;
    QTreeWidget* list_ = nullptr;
    std::vector<base::Finding> findings_;
    bool filling_ = false;
    std::unique_ptr<QObject> signalContext_;
};

// A finding as one line, `FILE:LINE: LEVEL: MESSAGE`, and its hint line
// after it; where is what stands for FILE when the finding has no file.
QString findingLines(const base::Finding& finding);

} // namespace editor
