// The viewer's entry: its command line (editor/command_line.h), then the
// application object, the graphics context and the main window opened on
// what the command line asked for, then the event loop until the last
// top-level window is gone. --help, --version and bad usage are answered
// before any window or display is needed (bad usage: exit code 2). An
// exception that escapes is reported as a top-level failure (exit code 1).

#include "app/error_box.h"
#include "base/version.h"
#include "editor/command_line.h"
#include "editor/main_window.h"
#include "editor/start_request.h"
#include "gfx/graphics_context.h"

#include <QApplication>
#include <QIcon>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

int run(const editor::StartRequest& request)
{
    gfx::GraphicsContext graphics;
    editor::MainWindow* window = editor::MainWindow::open(graphics, Mod::currentEnvironment(), request.folders);
    window->openRequested(request);
    QApplication::exec();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    editor::StartRequest request;
    try {
        const editor::CommandLine line = editor::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (line.help) {
            std::cout << editor::commandLineHelp();
            return 0;
        }
        if (line.version) {
            std::cout << "tise " << base::programVersion() << '\n';
            return 0;
        }
        request = editor::resolveStartRequest(line, Mod::currentEnvironment().currentDirectory);
    } catch (const editor::CommandLineError& error) {
        std::cerr << "tise: " << error.what() << "\nusage: " << editor::commandLineSynopsis() << '\n';
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "tise: " << error.what() << '\n'; // no window yet to report it in
        return 1;
    }

    // The words of the command line are the viewer's own: Qt sees none of them.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The installed desktop entry and icon are named after the application.
    QApplication::setDesktopFileName(QStringLiteral(TISE_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TISE_APP_ID)));
    try {
        return run(request);
    } catch (const std::exception& error) {
        app::reportError(nullptr, Kestra::ErrorCatcher::TopLevel, error);
        return 1;
    }
}
