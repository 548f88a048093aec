#include "cli/gui_session.h"

#include "gfx/qt_environment.h"

#include <QGuiApplication>

namespace cli {

namespace {
int argumentCount = 1;
char programName[] = "tise-cli";
char* arguments[] = {programName, nullptr};
} // namespace

GuiSession::GuiSession()
{
    gfx::prepareQtEnvironment();
    application_ = std::make_unique<QGuiApplication>(argumentCount, arguments);
}

GuiSession::~GuiSession() = default;

DrawingOnFirstUse::DrawingOnFirstUse() { gfx::prepareQtEnvironment(); }

const gfx::GraphicsContext& DrawingOnFirstUse::graphics()
{
    if (!gui_) {
        gui_.emplace();
        graphics_.emplace();
    }
    return *graphics_;
}

} // namespace cli
