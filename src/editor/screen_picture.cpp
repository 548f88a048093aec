#include "editor/screen_picture.h"

#include "app/output_file.h"
#include "data/text_compare.h"
#include "editor/screen_host.h"
#include "gfx/png_encoding.h"
#include "screen/screen_view.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>

#include <cstring>
#include <stdexcept>

namespace editor {

namespace {

// The bitmap's premultiplied B, G, R, A bytes are QImage's premultiplied
// ARGB32 words on little-endian machines.
QImage imageOf(const gfx::Bitmap& bitmap)
{
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw std::runtime_error("Cannot copy the picture");
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(image.scanLine(y), bitmap.row(y), static_cast<std::size_t>(bitmap.width) * 4);
    return image;
}

} // namespace

void copyPicture(const ScreenHost& host) { QGuiApplication::clipboard()->setImage(imageOf(*host.picture())); }

void savePicture(const ScreenHost& host, const std::string& path)
{
    std::string png;
    try {
        png = gfx::encodePng(*host.picture());
    } catch (const std::runtime_error&) {
        throw std::runtime_error("Cannot write " + path);
    }
    app::writeOutputFile(path, png);
}

void savePictureAs(const ScreenHost& host, QWidget* parent)
{
    QString name = QStringLiteral("screen.png");
    if (host.loaded()) {
        std::string file(Mod::fileNameOf(host.view().path()));
        if (const std::size_t dot = file.rfind('.'); dot != std::string::npos && dot > 0)
            file.resize(dot);
        name = QFile::decodeName(QByteArray::fromStdString(file + ".png"));
    }
    QFileDialog dialog(parent, QStringLiteral("Save Picture"), name, QStringLiteral("PNG images (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    savePicture(host, QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

} // namespace editor
