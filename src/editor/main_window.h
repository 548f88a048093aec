#pragma once
// The viewer's main window: "Tavrel Ironveil Screen Editor", 800 × 600 DIPs,
// holding the module selector over its whole client area.
//
// The window follows the files on disk: when a file that the module list,
// the mounted module or the shown screen was read from changes (and the
// files have settled), or when the user presses F5, it reloads. See reload().

#include "app/top_level_window.h"
#include "data/installation_discovery.h"
#include "editor/kept_widget_state.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTimer;

namespace app {
class ModWatcher;
}

namespace editor {

class ModuleSelector;
class ProblemsWindow;
class ScreenSelector;
struct StartRequest;

class MainWindow final : public app::TopLevelWindow {
public:
    // Creates and shows the window; it lives until it is closed. It lists the
    // installations discovered in environment, then extraFolders.
    static MainWindow* open(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                            const std::vector<std::string>& extraFolders);
    ~MainWindow() override;

    // Opens what the command line asked for as clicks on the rows would: the
    // module (listed or not), then the screen of its list that the request
    // names. The request's problems, a screen the list does not hold, and a
    // module or screen that fails to open are reported together, as the
    // window reports errors; the window stays on the list it reached.
    void openRequested(const StartRequest& request);

    ModuleSelector& moduleSelector() const { return *moduleSelector_; }
    // The screen list of the chosen module, or null.
    ScreenSelector* screenSelector() const;

    // Lists the modules again, mounts the chosen module again and loads the
    // shown screen again, exactly as going back and choosing each again
    // would, keeping the selected widget, the hidden widgets and the panel's
    // state. A screen that fails to load again, or a module that fails to
    // mount again, shows its error in the screen area instead of a message
    // box; the next good reload brings the screen back.
    void reload();
    // The same, once the event being handled is over: for controls that ask
    // from inside their own event handling, which a reload destroys.
    void reloadSoon();
    // How many reloads the window has done.
    std::size_t reloadCount() const { return reloadCount_; }
    // The disk paths the window follows now.
    std::vector<std::string> watchedPaths() const;

    // Opens the Problems window (editor/problems_window.h) above this one,
    // or brings the open one forward with what is shown now.
    void showProblems();
    // The open Problems window, or null.
    ProblemsWindow* problems() const { return problems_; }

    void layout() override;

private:
    MainWindow(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
               const std::vector<std::string>& extraFolders);
    // Follows what the module list, the mount and the screen read so far;
    // afresh puts every watch again (after a reload files may be new ones).
    void watchWhatWasRead(bool afresh);
    // Chooses the screen name (a name of the list, any letter case, its
    // ".screen" optional, or a path inside the module) in the screen list; a
    // name the list does not hold adds a problem. Loading errors propagate.
    void openScreen(const std::string& name, std::vector<std::string>& problems);

    Mod::DiscoveryEnvironment environment_;
    std::vector<std::string> extraFolders_;
    std::vector<std::string> installations_;
    ModuleSelector* moduleSelector_ = nullptr;
    KeptWidgetState kept_;
    std::size_t reloadCount_ = 0;
    std::unique_ptr<app::ModWatcher> watcher_;
    std::vector<std::string> watching_;
    std::optional<std::filesystem::file_time_type> lastFollowed_; // when watchWhatWasRead last looked
    // Takes up files read after a load (art shown on hover, for one).
    QTimer* followReads_ = nullptr;
    ProblemsWindow* problems_ = nullptr; // owned; it tells when the user closed it
    friend class ProblemsWindow;
    void problemsGone(const ProblemsWindow* window);
};

} // namespace editor
