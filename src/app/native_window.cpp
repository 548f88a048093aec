#include "app/native_window.h"

#include "app/error_box.h"

#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <string>
#include <utility>

namespace app {

int NativeWindow::dispatchDepth_ = 0;

namespace {
struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
};
} // namespace

// The widget side: forwards every event to its window object.
class NativeWidget final : public QWidget {
public:
    explicit NativeWidget(NativeWindow& owner) : owner_(&owner)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
    }

    ~NativeWidget() override
    {
        if (NativeWindow* owner = std::exchange(owner_, nullptr))
            owner->widgetDestroyed();
    }

    void disown() { owner_ = nullptr; }

protected:
    bool event(QEvent* event) override
    {
        if (owner_ && owner_->dispatch(*event))
            return true;
        return QWidget::event(event);
    }

private:
    NativeWindow* owner_;
};

NativeWindow::NativeWindow() = default;

NativeWindow::~NativeWindow()
{
    if (NativeWidget* widget = std::exchange(widget_, nullptr)) {
        widget->disown();
        // Inside one of the widget's own events it must outlive the event.
        if (dispatchDepth_ > 0) {
            widget->hide();
            widget->deleteLater();
        } else {
            delete widget;
        }
    }
}

QWidget* NativeWindow::widget() const { return widget_; }

void NativeWindow::createNative(const QString& title, int width, int height)
{
    widget_ = new NativeWidget(*this);
    widget_->setWindowTitle(title);
    widget_->resize(width, height);
}

void NativeWindow::createToolNative(QWidget* owner, const QString& title, int width, int height)
{
    widget_ = new NativeWidget(*this);
    widget_->setParent(owner, Qt::Tool);
    widget_->setAttribute(Qt::WA_OpaquePaintEvent, false);
    widget_->setAttribute(Qt::WA_NoSystemBackground, false);
    widget_->setBackgroundRole(QPalette::Base);
    widget_->setAutoFillBackground(true);
    widget_->setWindowTitle(title);
    widget_->resize(width, height);
}

void NativeWindow::runGuarded(const std::function<void()>& work)
{
    const Depth depth(dispatchDepth_);
    try {
        work();
    } catch (const std::exception& error) {
        app::reportError(widget_, Kestra::ErrorCatcher::Window, error);
    }
}

bool NativeWindow::dispatch(QEvent& event)
{
    // The object may be destroyed by its own event; the counter is static.
    const Depth depth(dispatchDepth_);
    try {
        return handleEvent(event);
    } catch (const std::exception& error) {
        if (event.type() == QEvent::Paint) {
            // A box opened inside a paint event would run its own loop while
            // the widget is still painting: show it once the paint is over.
            QPointer<QWidget> owner = widget_;
            const std::string text = Kestra::errorReportText(Kestra::ErrorCatcher::Window, error);
            QMetaObject::invokeMethod(
                widget_, [owner, text] { app::reportErrorText(owner.data(), text); }, Qt::QueuedConnection);
        } else {
            app::reportError(widget_, Kestra::ErrorCatcher::Window, error);
        }
        return false;
    }
}

void NativeWindow::widgetDestroyed()
{
    widget_ = nullptr;
    delete this;
}

} // namespace app
