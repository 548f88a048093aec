#include "editor/widget_tree_panel.h"

#include "data/ansi_text.h"
#include "editor/screen_host.h"
#include "editor/widget_tooltip.h"
#include "gfx/icon_strip.h"
#include "screen/keywords.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QMoveEvent>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace editor {

namespace {

constexpr int IconSize = 16;
constexpr int IconCount = 16;
constexpr int FadedOffset = 16;
constexpr int ScreenIcon = 14;
constexpr int UnknownTypeIcon = 13;

constexpr int WidgetRole = Qt::UserRole;
constexpr int IconRole = Qt::UserRole + 1;

constexpr float DimmedFade = 0.25f;
constexpr float NoFade = 1.0f;
constexpr int OpaqueAlpha = 240;
constexpr int TranslucentAlpha = 128;

WidgetTreePanel::RunState& theRunState()
{
    static WidgetTreePanel::RunState state;
    return state;
}

bool shown(const screen::Widget& widget) { return widget.visible() || widget.shownForSelection(); }

QIcon iconFrom(const QImage& strip, int index)
{
    return QIcon(QPixmap::fromImage(strip.copy(index * IconSize, 0, IconSize, IconSize)));
}

} // namespace

const WidgetTreePanel::RunState& WidgetTreePanel::runState() { return theRunState(); }

int WidgetTreePanel::typeIcon(const screen::Widget& widget)
{
    if (!widget.typeName())
        return UnknownTypeIcon;
    // The icons stand in the order of the game's widget types.
    return screen::gameWidgetTypeOf(*widget.typeName()).value_or(UnknownTypeIcon);
}

WidgetTreePanel::WidgetTreePanel(ScreenHost& host, const std::string& screenName, QWidget* owner)
    : placement_(&theRunState()), host_(&host), signalContext_(std::make_unique<QObject>())
{
    createToolNative(owner, QStringLiteral("Widgets"), placement_->width, placement_->height);
    QWidget& window = *widget();
    if (placement_->placed) {
        window.move(placement_->x, placement_->y);
    } else if (owner) {
        // Beside the viewer, when the screen has room for it there.
        const QRect frame = owner->frameGeometry();
        const QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
        const QPoint at(frame.right() + 1, frame.top());
        if (!screen || screen->availableGeometry().contains(QRect(at, QSize(placement_->width, placement_->height))))
            window.move(at);
    }
    setOpacity(TranslucentAlpha);

    button_ = new QCheckBox(QStringLiteral("Emphasize Selection"), &window);
    const QSize ideal = button_->sizeHint();
    buttonWidth_ = ideal.width();
    buttonHeight_ = ideal.height();
    button_->setChecked(placement_->emphasize);

    tree_ = new QTreeWidget(&window);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setMouseTracking(true);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    tree_->setIconSize(QSize(IconSize, IconSize));
    button_->setFont(tree_->font());
    resize(placement_->width, placement_->height);

    loadIcons();
    fill(screenName);

    QObject* context = signalContext_.get();
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, context,
                     [this](QTreeWidgetItem* current) { runGuarded([&] { selectionChanged(current); }); });
    QObject::connect(tree_, &QTreeWidget::itemDoubleClicked, context,
                     [this](QTreeWidgetItem* item) { runGuarded([&] { doubleClicked(item); }); });
    QObject::connect(button_, &QCheckBox::clicked, context, [this] { runGuarded([&] { boxClicked(); }); });

    window.show();
}

WidgetTreePanel::~WidgetTreePanel()
{
    signalContext_.reset();
    if (ScreenHost* host = std::exchange(host_, nullptr))
        host->panelGone(this);
}

QTreeWidgetItem* WidgetTreePanel::itemOf(const screen::Widget* widget) const
{
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if (widgetOf(*it) == widget)
            return *it;
    return nullptr;
}

screen::Widget* WidgetTreePanel::widgetOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<screen::Widget*>(item->data(0, WidgetRole).value<quintptr>()) : nullptr;
}

int WidgetTreePanel::iconIndexOf(const QTreeWidgetItem* item) { return item->data(0, IconRole).toInt(); }

void WidgetTreePanel::loadIcons()
{
    const gfx::IconStrip strip = gfx::loadIconResource("WIDGET_TYPES");
    // The strip's bytes are ARGB32 (straight alpha) on little-endian machines.
    QImage image(strip.pixels.data(), strip.width, strip.height, strip.width * 4, QImage::Format_ARGB32);
    QImage faded = image.copy();
    for (int y = 0; y < faded.height(); ++y) {
        uchar* line = faded.scanLine(y);
        for (int x = 0; x < faded.width(); ++x)
            line[4 * x + 3] >>= 1;
    }
    icons_.clear();
    for (int i = 0; i < IconCount; ++i)
        icons_.push_back(iconFrom(image, i));
    for (int i = 0; i < IconCount; ++i)
        icons_.push_back(iconFrom(faded, i));
}

void WidgetTreePanel::setIcon(QTreeWidgetItem& item, int index)
{
    item.setData(0, IconRole, index);
    if (index >= 0 && static_cast<std::size_t>(index) < icons_.size())
        item.setIcon(0, icons_[static_cast<std::size_t>(index)]);
}

void WidgetTreePanel::fill(const std::string& screenName)
{
    auto* top = new QTreeWidgetItem(QStringList(QString::fromStdU16String(Mod::ansiToUtf16(screenName))));
    top->setData(0, WidgetRole, QVariant::fromValue<quintptr>(0));
    setIcon(*top, ScreenIcon);
    tree_->addTopLevelItem(top);
    top->setExpanded(true);
    if (!host_->loaded())
        return;
    const screen::ScreenView& view = host_->view();
    if (view.tooltipRoot())
        insert(*view.tooltipRoot(), *top);
    if (view.widgetsRoot())
        insert(*view.widgetsRoot(), *top);
}

void WidgetTreePanel::insert(screen::Widget& widget, QTreeWidgetItem& parent)
{
    auto* item = new WidgetItem(QString::fromStdU16String(Mod::ansiToUtf16(widget.name())), widget);
    item->setData(0, WidgetRole, QVariant::fromValue(reinterpret_cast<quintptr>(&widget)));
    setIcon(*item, typeIcon(widget) + (shown(widget) ? 0 : FadedOffset));
    parent.addChild(item);
    // In the order children holds them, the reverse of the file's: the
    // widget painted on top comes first.
    for (screen::Widget* child : widget.children())
        insert(*child, *item);
    item->setExpanded(shown(widget));
}

void WidgetTreePanel::resize(int width, int height)
{
    tree_->setGeometry(0, 0, width, std::max(0, height - buttonHeight_));
    button_->setGeometry(2, height - buttonHeight_, std::max(0, width - 2), buttonHeight_);
}

void WidgetTreePanel::selectionChanged(QTreeWidgetItem* current)
{
    screen::Widget* widget = widgetOf(current);
    host_->setSelectedWidget(widget);
    if (!host_->loaded())
        return;
    screen::ScreenView& view = host_->view();
    view.setEmphasisFade(placement_->emphasize ? DimmedFade : NoFade);
    if (widget != view.emphasizedWidget())
        view.setEmphasizedWidget(widget);
    host_->invalidate();
}

void WidgetTreePanel::doubleClicked(QTreeWidgetItem* item)
{
    screen::Widget* widget = widgetOf(item);
    if (!widget)
        return;
    int icon = iconIndexOf(item);
    if (item->childCount() == 0) {
        widget->setVisible(!widget->visible());
        icon ^= FadedOffset;
    } else {
        // The list opens or closes the item after this signal: it is still
        // in the state from before the click.
        const bool visible = !item->isExpanded();
        widget->setVisible(visible);
        icon = (icon & ~FadedOffset) | (visible ? 0 : FadedOffset);
    }
    widget->invalidate();
    setIcon(*item, icon);
}

void WidgetTreePanel::setWidgetVisible(screen::Widget& widget, bool visible)
{
    QTreeWidgetItem* item = itemOf(&widget);
    if (!item || widget.visible() == visible)
        return;
    if (item->childCount() > 0)
        item->setExpanded(!visible);
    doubleClicked(item);
    if (item->childCount() > 0)
        item->setExpanded(visible);
}

void WidgetTreePanel::boxClicked()
{
    const bool checked = button_->isChecked();
    if (checked == placement_->emphasize)
        return;
    placement_->emphasize = checked;
    if (!host_->loaded())
        return;
    screen::ScreenView& view = host_->view();
    view.setEmphasisFade(checked ? DimmedFade : NoFade);
    if (host_->selectedWidget() != view.emphasizedWidget())
        view.setEmphasizedWidget(host_->selectedWidget());
    if (host_->selectedWidget())
        host_->invalidate();
}

void WidgetTreePanel::setOpacity(int alpha)
{
    QWidget& window = *widget();
    window.setWindowOpacity(alpha / 255.0);
    window.update();
}

bool WidgetTreePanel::handleEvent(QEvent& event)
{
    switch (event.type()) {
    case QEvent::Enter:
        setOpacity(OpaqueAlpha);
        return false;
    case QEvent::Leave:
        setOpacity(TranslucentAlpha);
        return false;
    case QEvent::Move: {
        // The frame's position, as move() takes it back.
        const QPoint at = widget()->pos();
        placement_->placed = true;
        placement_->x = at.x();
        placement_->y = at.y();
        return false;
    }
    case QEvent::Resize: {
        if (!tree_)
            return false;
        const QSize size = static_cast<QResizeEvent&>(event).size();
        placement_->width = size.width();
        placement_->height = size.height();
        resize(size.width(), size.height());
        return false;
    }
    default:
        return false;
    }
}

} // namespace editor
