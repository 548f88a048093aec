#pragma once
// Getting the shown screen's picture out of the viewer: to the clipboard,
// or into a PNG file. The picture is the host's (ScreenHost::picture): at the
// view's own size, the pixels tise-cli render writes for that size.

#include <string>

class QWidget;

namespace editor {

class ScreenHost;

// Puts the picture on the clipboard as an image.
void copyPicture(const ScreenHost& host);
// Writes the picture to path as tise-cli writes -o files: an RGBA PNG
// (gfx/png_encoding.h) to a temporary file renamed over the target
// (app/output_file.h). Throws std::runtime_error "Cannot write PATH".
void savePicture(const ScreenHost& host, const std::string& path);
// Asks for a file with a dialog over parent (the screen's name and ".png"
// proposed) and saves there; nothing when the dialog is cancelled.
void savePictureAs(const ScreenHost& host, QWidget* parent);

} // namespace editor
