// The viewer's entry: the application object, the graphics context and the
// main window, then the event loop until the last top-level window is gone.
// An exception that escapes is reported as a top-level failure (exit code 1).
// Arguments name installation folders to list after the discovered ones.

#include "app/error_box.h"
#include "editor/main_window.h"
#include "gfx/graphics_context.h"

#include <QApplication>

#include <exception>
#include <string>
#include <vector>

namespace {

int run(const std::vector<std::string>& extraFolders)
{
    gfx::GraphicsContext graphics;
    editor::MainWindow::open(graphics, Mod::currentEnvironment(), extraFolders);
    QApplication::exec();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        std::vector<std::string> extraFolders;
        for (const QString& argument : QApplication::arguments().mid(1))
            extraFolders.push_back(argument.toLocal8Bit().toStdString());
        return run(extraFolders);
    } catch (const std::exception& error) {
        app::reportError(nullptr, Kestra::ErrorCatcher::TopLevel, error);
        return 1;
    }
}
