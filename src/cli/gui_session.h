#pragma once
// The application object that fonts and drawing need. Only the commands that
// draw make one, so the others run without Qt's platform plugins. Without a
// display the offscreen platform stands in.

#include "gfx/graphics_context.h"

#include <memory>
#include <optional>

class QGuiApplication;

namespace cli {

class GuiSession {
public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

private:
    std::unique_ptr<QGuiApplication> application_;
};

// A session and a graphics context made where they are first used: for work
// that may run in worker processes (cli/job_pool.h), which must be forked
// before either exists. Making one chooses the Qt environment at once, so
// that every worker starts from the same.
class DrawingOnFirstUse {
public:
    DrawingOnFirstUse();
    const gfx::GraphicsContext& graphics();

private:
    std::optional<GuiSession> gui_;
    std::optional<gfx::GraphicsContext> graphics_;
};

} // namespace cli
