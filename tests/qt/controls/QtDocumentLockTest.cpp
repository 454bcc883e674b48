// Libraries held open for editing, seen from another instance of the program.

#include "QtDocumentLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace mb::test {

class QtDocumentLockTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::string library;
    QString locks() const { return dir->filePath("locks"); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        library = dir->filePath("steels.lib").toStdString();
        QFile file(QString::fromStdString(library));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void cleanup() { dir.reset(); }

    void aLibraryHeldHereIsRefusedElsewhereEvenThroughALinkUntilReleased() {
        qt::QtDocumentLock here(locks()), elsewhere(locks());
        QVERIFY(here.acquire(library).taken);
        const std::string link = dir->filePath("link.lib").toStdString();
        QVERIFY(QFile::link(QString::fromStdString(library), QString::fromStdString(link)));
        const DocumentLock::Outcome refused = elsewhere.acquire(link);
        QVERIFY(!refused.taken);
        QCOMPARE(refused.holder, "process " + std::to_string(QCoreApplication::applicationPid()));
        // Nothing is written beside the library.
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);

        here.release();
        QVERIFY(elsewhere.acquire(library).taken);
        QVERIFY(!here.acquire(library).taken);
        // Taking another library gives up the first.
        const std::string other = dir->filePath("other.lib").toStdString();
        QVERIFY(elsewhere.acquire(other).taken);
        QVERIFY(here.acquire(library).taken);
    }

    void aLockLeftByAProcessThatDiedIsTakenOver() {
        qt::QtDocumentLock lock(locks());
        QVERIFY(QDir().mkpath(locks()));
        QFile stale(lock.lockPathFor(library));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("2147483646\nmatbrowser\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QVERIFY(lock.acquire(library).taken);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtDocumentLockTest)
#include "QtDocumentLockTest.moc"
