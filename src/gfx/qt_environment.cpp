#include "gfx/qt_environment.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace gfx {

namespace {

// Qt looks into its runtime folder while it starts (and warns, then makes a
// folder of a predictable name in the shared temporary folder, when
// XDG_RUNTIME_DIR is unset). This one is private: mkdtemp gives it an
// unguessable name and mode 0700, as Qt requires; nothing is written into it,
// and it is removed when the program ends.
class RuntimeFolder {
public:
    RuntimeFolder()
    {
        const char* temporary = std::getenv("TMPDIR");
        std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/tise-XXXXXX";
        if (::mkdtemp(pattern.data()))
            path_ = std::move(pattern);
    }
    ~RuntimeFolder()
    {
        if (!path_.empty())
            ::rmdir(path_.c_str());
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

void prepareQtEnvironment(bool alwaysOffscreen)
{
    if (alwaysOffscreen || (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        static const RuntimeFolder runtime;
        if (!runtime.path().empty())
            ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
}

} // namespace gfx
