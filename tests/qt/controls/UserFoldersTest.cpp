// Where recovery copies, locks and settings go when HOME names no folder: the account's
// home from the password database, or nowhere at all, never "/".

#include "UserFolders.h"
#include "QtDocumentLock.h"
#include "QtRecoveryStore.h"
#include "QtServices.h"
#include "clsRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <optional>
#include <string>

namespace mb::test {

namespace {

// Sets (or with nullptr unsets) an environment variable for as long as it lives.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvironmentValue() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

class UserFoldersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("VELTRA");
        QCoreApplication::setApplicationName("MaterialBrowser");
    }

    void anEmptyOrUnsetHomeIsTheAccountsHome() {
        using qt::UserFolder;
        const EnvironmentValue data("XDG_DATA_HOME", nullptr), config("XDG_CONFIG_HOME", nullptr);
        for (const char* home : {"", static_cast<const char*>(nullptr), "relative"}) {
            const EnvironmentValue homeValue("HOME", home);
            QCOMPARE(qt::writableUserFolder(UserFolder::AppData, "/home/u"),
                     QStringLiteral("/home/u/.local/share/VELTRA/MaterialBrowser"));
            QCOMPARE(qt::writableUserFolder(UserFolder::Config, "/home/u"),
                     QStringLiteral("/home/u/.config"));
            // No home anywhere: nothing is kept rather than under "/".
            QCOMPARE(qt::writableUserFolder(UserFolder::AppData, QString()), QString());
            QCOMPARE(qt::writableUserFolder(UserFolder::Config, QString()), QString());
        }
        {
            // The folder's own variable still counts without a home.
            const EnvironmentValue homeValue("HOME", ""), dataValue("XDG_DATA_HOME", "/x");
            QCOMPARE(qt::writableUserFolder(UserFolder::AppData, QString()),
                     QStringLiteral("/x/VELTRA/MaterialBrowser"));
        }
        // A home that names a folder is taken as the platform takes it.
        const EnvironmentValue homeValue("HOME", "/h");
        QCOMPARE(qt::writableUserFolder(UserFolder::AppData, "/home/u"),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(qt::writableUserFolder(UserFolder::AppData, "/home/u").startsWith("/h/"));
    }

    void theStoresOfAnEmptyHomeGoToTheAccountsHome() {
        const QString account = qt::accountHome();
        if (account.isEmpty()) QSKIP("this account has no home folder of its own");
        const EnvironmentValue home("HOME", ""), data("XDG_DATA_HOME", nullptr),
            config("XDG_CONFIG_HOME", nullptr);
        const QString base = account + "/.local/share/VELTRA/MaterialBrowser";
        QCOMPARE(QString::fromStdString(qt::QtRecoveryStore().location()), base + "/recovery");
        QVERIFY(qt::QtDocumentLock().lockPathFor("/some/library.lib").startsWith(base + "/locks/"));
        QCOMPARE(qt::QtSettingsBackend().fileName(),
                 account + "/.config/VELTRA/MaterialBrowser.ini");
    }

    void withoutAFolderNothingIsWrittenAndTheRecoveryCopySaysWhy() {
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path())); // a relative path would land here
        qt::QtRecoveryStore store{QString()};
        std::string reason;
        QCOMPARE(store.writeNow("h\n\n", "A", reason), std::optional<std::string>());
        QCOMPARE(
            reason,
            std::string(
                "HOME is empty and the password database names no home folder for this user."));
        QCOMPARE(store.location(), std::string("the user's data folder"));
        QVERIFY(store.claimLeftCopies().empty());
        store.discard();

        qt::QtDocumentLock lock{QString()};
        QVERIFY(lock.acquire("/some/library.lib").taken); // nothing can be said of others
        lock.release();

        qt::QtSettingsBackend settings{QString()};
        QVERIFY(!settings.createKey("Unit"));
        QVERIFY(!settings.openKey("Unit"));
        QCOMPARE(clsRegistry(settings).GetValue(), int16_t(0));
        QVERIFY(QDir(work.path()).isEmpty());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::UserFoldersTest)
#include "UserFoldersTest.moc"
