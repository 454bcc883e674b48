#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace mb::qt {

namespace {

bool IsAbsolute(const char* variable) {
    const QString value = qEnvironmentVariable(variable);
    return !value.isEmpty() && QDir::isAbsolutePath(value);
}

} // namespace

QString accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return {};
    const QString home = QFile::decodeName(found->pw_dir);
    // An account whose home is "/" (daemons, "nobody") has none to keep things in.
    return QDir::isAbsolutePath(home) && QDir::cleanPath(home) != QStringLiteral("/") ? home
                                                                                      : QString();
}

QString writableUserFolder(UserFolder which, const QString& accountHome) {
    const auto location = which == UserFolder::AppData ? QStandardPaths::AppDataLocation
                                                       : QStandardPaths::GenericConfigLocation;
    if (IsAbsolute("HOME") ||
        IsAbsolute(which == UserFolder::AppData ? "XDG_DATA_HOME" : "XDG_CONFIG_HOME"))
        return QStandardPaths::writableLocation(location);
    if (accountHome.isEmpty()) return {};
    if (which == UserFolder::Config) return accountHome + QStringLiteral("/.config");
    QString folder = accountHome + QStringLiteral("/.local/share");
    for (const QString& name :
         {QCoreApplication::organizationName(), QCoreApplication::applicationName()})
        if (!name.isEmpty()) folder += QLatin1Char('/') + name;
    return folder;
}

QString writableUserFolder(UserFolder which) {
    return writableUserFolder(which, accountHome());
}

} // namespace mb::qt
