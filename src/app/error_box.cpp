#include "app/error_box.h"

#include "data/ansi_text.h"

#include <QMessageBox>
#include <QString>

#include <iostream>
#include <utility>

namespace app {

namespace {

void showMessageBox(QWidget* owner, const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(Kestra::ProgramName.data(), Kestra::ProgramName.size()),
                    QString::fromStdU16String(Mod::ansiToUtf16(text)), QMessageBox::Ok,
                    owner);
    box.exec();
}

ErrorBoxHandler& currentHandler()
{
    static ErrorBoxHandler handler = showMessageBox;
    return handler;
}

} // namespace

std::string reportError(QWidget* owner, Kestra::ErrorCatcher catcher, const std::exception& error)
{
    std::string text = Kestra::errorReportText(catcher, error);
    reportErrorText(owner, text);
    return text;
}

void reportErrorText(QWidget* owner, const std::string& text)
{
    std::cerr << text << std::endl;
    currentHandler()(owner, text);
}

ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler handler)
{
    if (!handler)
        handler = showMessageBox;
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace app
