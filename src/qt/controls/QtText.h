#pragma once

#include <QString>

#include <string>

namespace mb::qt {

// Library text is one byte per character; Latin-1 keeps every byte as it is both ways.
inline QString toQ(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string fromQ(const QString& s) {
    const QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace mb::qt
