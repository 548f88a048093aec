#pragma once
// Showing an error report to the user: a warning message box titled "TISE"
// with the report text, owned by a window (or by none). The text also goes to
// stderr. Tests replace the box so that nothing waits for a click.

#include "base/errors.h"

#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace app {

// Shows text to the user, owned by owner (may be null).
using ErrorBoxHandler = std::function<void(QWidget* owner, const std::string& text)>;

// Writes the report of error to stderr and shows it; returns the text.
std::string reportError(QWidget* owner, Kestra::ErrorCatcher catcher, const std::exception& error);

// Writes an already composed report to stderr and shows it.
void reportErrorText(QWidget* owner, const std::string& text);

// Replaces the message box; an empty handler restores it. Returns the old one.
ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler handler);

} // namespace app
