#include "editor/failure_notice.h"

#include "data/ansi_text.h"

#include <QFont>
#include <QLabel>
#include <QWidget>

namespace editor {

namespace {

constexpr int Margin = 16;
constexpr int TextSize = 15;

QString game(const std::string& bytes) { return QString::fromStdU16String(Mod::ansiToUtf16(bytes)); }

} // namespace

QString failureText(const std::string& message, const std::optional<base::Finding>& where)
{
    QString text = game(message);
    if (!where || !where->file)
        return text;
    QString place = game(*where->file);
    if (where->member)
        place += "[" + game(*where->member) + "]";
    if (where->line)
        place += ":" + QString::number(*where->line);
    return text + "\n\n" + place;
}

FailureNotice::FailureNotice(QWidget* window, const std::string& message, const std::optional<base::Finding>& where)
    : text_(failureText(message, where))
{
    if (!window)
        return;
    label_ = new QLabel(text_, window);
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font = label_->font();
    font.setPixelSize(TextSize);
    label_->setFont(font);
    label_->setStyleSheet(
        QString("QLabel { color: rgb(153, 0, 0); background: transparent; padding: %1px; }").arg(Margin));
    label_->hide();
}

FailureNotice::~FailureNotice() { delete label_; }

void FailureNotice::place(const QRect& area)
{
    if (!label_)
        return;
    label_->setGeometry(area);
    label_->setVisible(!area.isEmpty());
}

} // namespace editor
