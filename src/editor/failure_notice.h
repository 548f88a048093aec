#pragma once
// What the screen area shows in place of a drawing when a screen that was
// shown fails to load again after its files changed: the error message and,
// on a line of its own, where the error is when that is known (`FILE:LINE`,
// an archive member as `ARCHIVE[MEMBER]:LINE`), wrapped to the area, dark
// red over the area's white. The text can be selected with the mouse or the
// keyboard and copied (Ctrl+C, or the context menu). The next good load
// replaces it.

#include "base/finding.h"

#include <QLabel>
#include <QPointer>
#include <QRect>
#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace editor {

// The notice's text: message, then where it is.
QString failureText(const std::string& message, const std::optional<base::Finding>& where);

class FailureNotice {
public:
    // The text, over an area of window (a window's widget); with no window
    // it is kept but shown nowhere.
    FailureNotice(QWidget* window, const std::string& message, const std::optional<base::Finding>& where);
    ~FailureNotice();
    FailureNotice(const FailureNotice&) = delete;
    FailureNotice& operator=(const FailureNotice&) = delete;

    const QString& text() const { return text_; }
    // The label showing it; null with no window.
    QLabel* label() const { return label_; }
    // Shows it over area, in the window's pixels.
    void place(const QRect& area);

private:
    QString text_;
    QPointer<QLabel> label_; // a child of the window, which may go first
};

} // namespace editor
