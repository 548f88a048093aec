#include "editor/main_window.h"

#include "app/error_box.h"
#include "app/mod_watcher.h"
#include "base/diagnostic_log.h"
#include "data/text_compare.h"
#include "editor/module_selector.h"
#include "editor/problems_window.h"
#include "editor/run_language.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "editor/start_request.h"
#include "ui/folder_group.h"
#include "ui/selector_row.h"

#include <QApplication>
#include <QShortcut>
#include <QTimer>
#include <QWidget>

#include <exception>
#include <optional>
#include <utility>

namespace editor {

namespace {

constexpr int FollowReadsInterval = 250; // ms

} // namespace

MainWindow* MainWindow::open(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                             const std::vector<std::string>& extraFolders)
{
    // The window owns itself from here on: closing it destroys it.
    return new MainWindow(graphics, environment, extraFolders);
}

MainWindow::MainWindow(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                       const std::vector<std::string>& extraFolders)
    : TopLevelWindow(graphics), environment_(environment), extraFolders_(extraFolders),
      installations_(Mod::findInstallations(environment, extraFolders))
{
    create(QStringLiteral("Tavrel Ironveil Screen Editor"), 800, 600);
    moduleSelector_ = static_cast<ModuleSelector*>(addChild(std::make_unique<ModuleSelector>(graphics, environment, extraFolders)));
    layout();

    watcher_ = std::make_unique<app::ModWatcher>([this] { runGuarded([&] { reload(); }); });
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F5), widget());
    shortcut->setContext(Qt::ApplicationShortcut);
    QObject::connect(shortcut, &QShortcut::activated, shortcut, [this] { runGuarded([&] { reload(); }); });
    followReads_ = new QTimer(widget());
    followReads_->setInterval(FollowReadsInterval);
    QObject::connect(followReads_, &QTimer::timeout, followReads_, [this] { runGuarded([&] { watchWhatWasRead(false); }); });
    followReads_->start();
    watchWhatWasRead(true);
}

MainWindow::~MainWindow() { delete std::exchange(problems_, nullptr); }

void MainWindow::showProblems()
{
    if (!problems_) {
        problems_ = new ProblemsWindow(*this);
        return;
    }
    problems_->refresh();
    problems_->widget()->show();
    problems_->widget()->raise();
    problems_->widget()->activateWindow();
}

void MainWindow::problemsGone(const ProblemsWindow* window)
{
    if (problems_ == window)
        problems_ = nullptr;
}

void MainWindow::openRequested(const StartRequest& request)
{
    if (request.language)
        setRunLanguage(*request.language);
    std::vector<std::string> problems = request.problems;
    if (!request.module.empty()) {
        try {
            moduleSelector_->choose(request.module);
            if (request.screen)
                openScreen(*request.screen, problems);
        } catch (const std::exception& error) {
            problems.push_back(Kestra::errorReportText(Kestra::ErrorCatcher::Window, error));
        }
    }
    watchWhatWasRead(true);
    std::string text;
    for (const std::string& problem : problems)
        text += (text.empty() ? "" : "\n\n") + problem;
    if (!text.empty())
        app::reportErrorText(widget(), text);
}

void MainWindow::openScreen(const std::string& name, std::vector<std::string>& problems)
{
    ScreenSelector& screens = *screenSelector();
    if (name.find_first_of("\\/") != std::string::npos) {
        screens.choose(name); // a path inside the mounted file system
        return;
    }
    const auto named = [&](const std::string& path) {
        const std::string_view file = Mod::fileNameOf(path);
        return Mod::equalNoCase(file, name) || Mod::equalNoCase(file, name + ".screen");
    };
    for (const ui::FolderGroup* group : screens.groups()) {
        for (const ui::SelectorRow* row : group->rows()) {
            if (named(row->path())) {
                screens.choose(row->path());
                return;
            }
        }
    }
    problems.push_back("No screen " + name + " in " + moduleSelector_->chosenPath() + "; its screens are listed.");
}

ScreenSelector* MainWindow::screenSelector() const
{
    return moduleSelector_ ? dynamic_cast<ScreenSelector*>(moduleSelector_->detail()) : nullptr;
}

void MainWindow::reload()
{
    // Not under a message box, nor while a button is held (a drag holds on
    // to the controls it started on): the controls are in the middle of an
    // event. Try again later.
    if (QApplication::activeModalWidget() || QApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(FollowReadsInterval, widget(), [this] { runGuarded([&] { reload(); }); });
        return;
    }
    ++reloadCount_;
    ScreenSelector* screens = screenSelector();
    std::optional<std::string> module, screen;
    if (screens) {
        module = moduleSelector_->chosenPath();
        if (ScreenHost* host = screens->host()) {
            screen = screens->chosenPath();
            kept_.capture(*host, screens->loadedVisibility());
        }
    }

    std::unique_ptr<ui::Control> old = removeChild(moduleSelector_);
    moduleSelector_ = static_cast<ModuleSelector*>(
        addChild(std::make_unique<ModuleSelector>(graphics(), environment_, extraFolders_)));
    layout();
    if (module) {
        try {
            moduleSelector_->choose(*module);
        } catch (const std::exception& error) {
            // The module as it was stays, with the error where the screen was.
            removeChild(moduleSelector_);
            moduleSelector_ = static_cast<ModuleSelector*>(addChild(std::move(old)));
            layout();
            const std::string message = error.what();
            if (screen)
                screens->reload(*screen, kept_, &message);
            else
                base::writeDiagnostic(message);
            watchWhatWasRead(true);
            if (problems_)
                problems_->refresh();
            return;
        }
        if (screen)
            screenSelector()->reload(*screen, kept_);
    }
    old.reset();
    installations_ = Mod::findInstallations(environment_, extraFolders_);
    watchWhatWasRead(true);
    if (problems_)
        problems_->refresh();
}

void MainWindow::reloadSoon()
{
    QTimer::singleShot(0, widget(), [this] { runGuarded([&] { reload(); }); });
}

std::vector<std::string> MainWindow::watchedPaths() const { return watcher_->paths(); }

void MainWindow::watchWhatWasRead(bool afresh)
{
    // What this call finds read that the last one did not was read since.
    const auto now = std::filesystem::file_time_type::clock::now();
    std::vector<std::string> paths = installations_;
    if (ScreenSelector* screens = screenSelector()) {
        const std::vector<std::string> read = screens->context().diskPaths();
        paths.insert(paths.end(), read.begin(), read.end());
    }
    if (afresh || paths != watching_) {
        watcher_->watch(paths, lastFollowed_);
        watching_ = std::move(paths);
    }
    lastFollowed_ = now;
}

void MainWindow::layout()
{
    if (moduleSelector_)
        moduleSelector_->setBounds(0, 0, width(), height());
    invalidate();
}

} // namespace editor
