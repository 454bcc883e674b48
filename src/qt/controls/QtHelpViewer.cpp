#include "QtHelpViewer.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace mb::qt {

void QtHelpViewer::open(const std::string& path) {
    // Paths are file-system bytes, not library text: decode them as the system does.
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace mb::qt
