#pragma once
// The application object that fonts and drawing need. Only the commands that
// draw make one, so the others run without Qt's platform plugins. Without a
// display the offscreen platform stands in.

#include <memory>

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

} // namespace cli
