#pragma once
// The keys of a built screen's widget and art tables that the game never
// reads ("unknown-key" findings, table_watch.h), with the closest key it
// reads as a hint. Looking at every key of every table costs about a
// twentieth of building the screen, so the view does it only when its
// findings are first read: a screen shown without anyone asking pays
// nothing for it. Only tables of the screen file are looked at (not the art
// a style sheet supplies).

namespace screen {

class ScreenFindings;
class ScreenView;

// Adds to findings (the view's) what it finds about unknown keys of view's
// tables. Never fails: a Lua error (out of memory) ends the look early.
void checkTableKeys(const ScreenView& view, ScreenFindings& findings);

} // namespace screen
