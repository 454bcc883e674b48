#include "QtClipboard.h"

#include "QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace mb::qt {

void QtClipboard::put(const std::vector<ClipboardPayload>& payloads, const std::string& text) {
    auto data = std::make_unique<QMimeData>();
    for (const ClipboardPayload& p : payloads)
        data->setData(QString::fromLatin1(p.mimeType),
                      QByteArray(p.bytes.data(), static_cast<qsizetype>(p.bytes.size())));
    data->setText(toQ(text));
    // The clipboard takes the data over.
    QGuiApplication::clipboard()->setMimeData(data.release());
}

std::optional<std::string> QtClipboard::get(const std::string& mimeType) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = QString::fromLatin1(mimeType);
    if (!data || !data->hasFormat(type)) return std::nullopt;
    const QByteArray bytes = data->data(type);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtClipboard::text() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return fromQ(data->text());
}

} // namespace mb::qt
