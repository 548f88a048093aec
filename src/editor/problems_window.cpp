#include "editor/problems_window.h"

#include "data/ansi_text.h"
#include "editor/finding_target.h"
#include "editor/main_window.h"
#include "editor/screen_host.h"
#include "editor/screen_inspection.h"
#include "editor/screen_selector.h"
#include "screen/screen_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <utility>

namespace editor {

namespace {

constexpr int FollowInterval = 250; // ms
constexpr int Width = 800, Height = 240; // the window's first size
constexpr int IndexRole = Qt::UserRole;
enum Column { LevelColumn, MessageColumn, HintColumn, FileColumn, LineColumn };

QString game(const std::string& bytes) { return QString::fromStdU16String(Mod::ansiToUtf16(bytes)); }

// What the main window shows: the shown screen's problems, else the mounted module's findings.
std::vector<base::Finding> shownFindings(const MainWindow& window)
{
    const ScreenSelector* screens = window.screenSelector();
    if (!screens)
        return {};
    if (const ScreenHost* host = screens->host())
        return host->problems().all();
    return screens->context().findings.all();
}

QString fileText(const base::Finding& finding)
{
    if (!finding.file)
        return {};
    return game(*finding.file) + (finding.member ? "[" + game(*finding.member) + "]" : QString());
}

QIcon levelIcon(base::FindingLevel level)
{
    QStyle* style = QApplication::style();
    switch (level) {
    case base::FindingLevel::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case base::FindingLevel::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case base::FindingLevel::Note: break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

QString findingLines(const base::Finding& finding)
{
    QString place = finding.file ? fileText(finding) : finding.screen ? game(*finding.screen) : QString();
    if (finding.line)
        place += ":" + QString::number(*finding.line);
    const QString lead = place.isEmpty() ? QString() : place + ": ";
    QString text = lead + QString::fromUtf8(base::levelName(finding.level)) + ": " + game(finding.message);
    if (finding.hint)
        text += "\n" + lead + "note: " + game(*finding.hint);
    return text;
}

ProblemsWindow::ProblemsWindow(MainWindow& window) : window_(&window), signalContext_(std::make_unique<QObject>())
{
    QWidget* owner = window.widget();
    createToolNative(owner, QStringLiteral("Problems"), Width, Height);
    QWidget& frame = *widget();
    if (owner) {
        // Under the viewer, when the screen has room for it there.
        const QRect viewer = owner->frameGeometry();
        const QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
        const QPoint at(viewer.left(), viewer.bottom() + 1);
        if (!screen || screen->availableGeometry().contains(QRect(at, QSize(Width, Height))))
            frame.move(at);
    }
    list_ = new QTreeWidget(&frame);
    list_->setColumnCount(5);
    list_->setHeaderLabels({"Level", "Message", "Hint", "File", "Line"});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->setGeometry(0, 0, frame.width(), frame.height());
    list_->setColumnWidth(MessageColumn, Width * 9 / 20);
    list_->setColumnWidth(HintColumn, Width / 4);
    list_->setColumnWidth(FileColumn, Width / 5);

    auto* copy = new QAction(QStringLiteral("Copy"), list_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    list_->addAction(copy);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);

    QObject* context = signalContext_.get();
    QObject::connect(copy, &QAction::triggered, context,
                     [this] { runGuarded([&] { QApplication::clipboard()->setText(copiedText()); }); });
    QObject::connect(list_, &QTreeWidget::currentItemChanged, context, [this](QTreeWidgetItem* current) {
        if (!filling_)
            runGuarded([&] { choose(current); });
    });
    QObject::connect(list_, &QTreeWidget::itemActivated, context,
                     [this](QTreeWidgetItem* row) { runGuarded([&] { choose(row); }); });
    auto* follow = new QTimer(&frame);
    follow->setInterval(FollowInterval);
    QObject::connect(follow, &QTimer::timeout, context, [this] { runGuarded([&] { refresh(); }); });
    follow->start();

    findings_ = shownFindings(window);
    fill();
    frame.show();
}

ProblemsWindow::~ProblemsWindow()
{
    signalContext_.reset();
    if (MainWindow* window = std::exchange(window_, nullptr))
        window->problemsGone(this);
}

void ProblemsWindow::refresh()
{
    if (!window_)
        return;
    std::vector<base::Finding> shown = shownFindings(*window_);
    if (shown == findings_)
        return;
    findings_ = std::move(shown);
    fill();
}

void ProblemsWindow::fill()
{
    filling_ = true;
    list_->clear();
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        const base::Finding& finding = findings_[i];
        auto* row = new QTreeWidgetItem(list_);
        row->setData(0, IndexRole, static_cast<qulonglong>(i));
        row->setIcon(LevelColumn, levelIcon(finding.level));
        row->setText(LevelColumn, QString::fromUtf8(base::levelName(finding.level)));
        row->setText(MessageColumn, game(finding.message));
        row->setToolTip(MessageColumn, game(finding.message));
        if (finding.hint) {
            row->setText(HintColumn, game(*finding.hint));
            row->setToolTip(HintColumn, game(*finding.hint));
        }
        row->setText(FileColumn, fileText(finding));
        if (finding.line)
            row->setText(LineColumn, QString::number(*finding.line));
    }
    list_->resizeColumnToContents(LevelColumn);
    list_->resizeColumnToContents(LineColumn);
    widget()->setWindowTitle(QString("Problems (%1)").arg(findings_.size()));
    filling_ = false;
}

QString ProblemsWindow::copiedText() const
{
    QStringList lines;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* row = list_->topLevelItem(i); row->isSelected())
            lines << findingLines(findings_.at(row->data(0, IndexRole).toULongLong()));
    return lines.join('\n');
}

void ProblemsWindow::choose(const QTreeWidgetItem* row)
{
    if (!row || !window_)
        return;
    const std::size_t index = row->data(0, IndexRole).toULongLong();
    ScreenSelector* screens = window_->screenSelector();
    ScreenHost* host = screens ? screens->host() : nullptr;
    if (index >= findings_.size() || !host || !host->loaded())
        return;
    if (screen::Widget* target = targetOf(host->view(), findings_[index]))
        selectInPanel(*host, target);
}

bool ProblemsWindow::handleEvent(QEvent& event)
{
    if (event.type() == QEvent::Resize && list_) {
        const QSize size = static_cast<QResizeEvent&>(event).size();
        list_->setGeometry(0, 0, size.width(), size.height());
    }
    return false;
}

} // namespace editor
