#pragma once
// A window of the program: a Qt widget whose events all pass through one
// forwarding point to the window object. That point is the program's event
// catcher: a standard exception thrown while an event is handled is reported
// in a message box owned by the window, and the program goes on. (A failed
// paint is reported just after the paint event, not inside it.)
//
// The object and its widget end together: closing the window destroys the
// object, and destroying the object closes the window.

#include <QString>

#include <functional>

class QEvent;
class QWidget;

namespace app {

class NativeWidget;

class NativeWindow {
public:
    NativeWindow();
    // Closes the widget if it still exists.
    virtual ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    // Null until createNative, and again once the widget is gone.
    QWidget* widget() const;

protected:
    // Makes the widget (a top-level window, destroyed when closed) with the
    // title and a client size in DIPs; not shown yet.
    void createNative(const QString& title, int width, int height);
    // Makes the widget as a tool window that floats above owner (or, with
    // no owner, a tool window of its own) with the title and a client size
    // in DIPs, filled with the palette's base colour under its children;
    // not shown yet. It is destroyed when closed, or with its owner.
    void createToolNative(QWidget* owner, const QString& title, int width, int height);

    // Runs work under the event catcher, as events are handled: for what
    // the window's child widgets report through their signals.
    void runGuarded(const std::function<void()>& work);

    // Handles one event of the widget; true when it is fully handled. Events
    // that return false get Qt's default handling.
    virtual bool handleEvent(QEvent& event) = 0;

private:
    friend class NativeWidget;
    // The event catcher: handleEvent inside a try.
    bool dispatch(QEvent& event);
    // The widget is being destroyed: the object goes with it.
    void widgetDestroyed();

    NativeWidget* widget_ = nullptr;
    // How many events of any window are being handled (events nest).
    static int dispatchDepth_;
};

} // namespace app
