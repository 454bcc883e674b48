#pragma once

#include <QString>

namespace mb::qt {

/// The folders of the user's own that the program keeps things in.
enum class UserFolder {
    AppData, ///< recovery copies and locks: the application's data location
    Config,  ///< the settings file's folder
};

/// The home folder the password database names for this user; "" when it names none.
QString accountHome();

/// Where `which` is, as QStandardPaths gives it while HOME names a folder. An empty,
/// unset or relative HOME would put it under "/": the home of `accountHome` is taken
/// instead, as a login would have set it, unless the XDG variable of the folder names one
/// itself. "" when there is no folder at all: nothing is then kept, rather than in "/".
QString writableUserFolder(UserFolder which, const QString& accountHome);
/// The same for the account of this process.
QString writableUserFolder(UserFolder which);

/// Why nothing is kept when writableUserFolder gives "".
inline constexpr const char* kNoHomeReason =
    "HOME is empty and the password database names no home folder for this user.";

} // namespace mb::qt
