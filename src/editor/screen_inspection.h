#pragma once
// The inspection gestures on a shown screen:
// - ctrl+left click picks the widget under the pointer by the hover rules
//   (the hover target, or the widget that holds the art item hit) and
//   selects its item in the widget tree panel, which expands its ancestors,
//   scrolls to it and moves the emphasis as a selection in the panel does;
//   on no widget the screen item is selected;
// - the right button opens the view menu: "Fit window", the preview sizes
//   (editor/preview_size.h), the one in effect checked; "Language" (every
//   language the module's Locale folders and the engine's offer, the
//   module's own choice marked "(default)", the mounted one checked) and
//   "Pseudo-localise" (editor/run_language.h); "Copy Picture" (Ctrl+C) and
//   "Save Picture..." (editor/screen_picture.h); "Problems (N)" (the Problems
//   window, editor/problems_window.h, with the N findings of
//   ScreenHost::problems) and "Reload" (F5).
//
// "Reload", a language and "Pseudo-localise" ask the window for its reload
// (editor/main_window.h), as F5 does, once the press is over: the reload
// mounts the module again with the run's language and makes a new host.

#include "ui/control.h"

#include <memory>

class QAction;
class QMenu;

namespace screen {
class Widget;
}

namespace editor {

class ScreenHost;

// Whether the press at (x, y) of the host was an inspection gesture; then
// it has been handled.
bool handleInspectionPress(ScreenHost& host, float x, float y, ui::MouseButton button);

// The widget picking finds at a point of the host; null on none.
screen::Widget* pickWidget(ScreenHost& host, float x, float y);
// Selects widget's item in the host's panel (the screen item for null).
void selectInPanel(ScreenHost& host, screen::Widget* widget);

// The view menu for host; choose() carries out one of its actions.
std::unique_ptr<QMenu> makeViewMenu(const ScreenHost& host);
void choose(ScreenHost& host, const QAction& action);

} // namespace editor
