#include "app/output_file.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace app {

void writeOutputFile(const std::string& path, std::string_view bytes)
{
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size || !file.commit())
        throw std::runtime_error("Cannot write " + path);
}

} // namespace app
