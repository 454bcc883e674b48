// The recovery store on disk: one copy per running instance, never touched by another
// running instance, offered once its owner is gone.

#include "QtRecoveryStore.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace mb::test {

namespace {

std::string ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

} // namespace

class QtRecoveryStoreTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString folder() const { return dir->filePath("recovery"); }

    /// The lock file a process that died leaves behind: its number can belong to no process.
    void leaveDeadOwnersLock(const QString& copyPath) {
        QFile lock(copyPath.left(copyPath.size() - 5) + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nmatbrowser\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { dir.reset(); }

    void aCopyIsOfferedOnlyOnceItsOwnerHasGoneAndRemovedForGood() {
        auto owner = std::make_unique<qt::QtRecoveryStore>(folder());
        std::string reason;
        const auto written = owner->writeNow("header\n\n", "MATTYPE:Steels\r\n", reason);
        QVERIFY(written);
        QCOMPARE(QString::fromStdString(*written), owner->copyPath());
        QCOMPARE(QFileInfo(owner->copyPath()).path(), folder());
        QCOMPARE(owner->location(), folder().toStdString());

        qt::QtRecoveryStore other(folder());
        QVERIFY2(other.claimLeftCopies().empty(), "the owner still runs");

        const QString copyPath = owner->copyPath();
        owner.reset(); // the program ended with the library unsaved
        QVERIFY(QFile::exists(copyPath));
        const auto left = other.claimLeftCopies();
        QCOMPARE(left.size(), std::size_t{1});
        QCOMPARE(left[0].content, std::string("header\n\nMATTYPE:Steels\r\n"));
        QCOMPARE(
            QString::fromStdString(left[0].time),
            QLocale::system().toString(QFileInfo(copyPath).lastModified(), QLocale::ShortFormat));

        qt::QtRecoveryStore third(folder());
        QVERIFY2(third.claimLeftCopies().empty(), "claimed by the other one meanwhile");
        other.remove(left[0].id);
        QVERIFY(!QFile::exists(copyPath));
        QVERIFY(third.claimLeftCopies().empty());
    }

    void aCopyReleasedIsOfferedAgainAndADeadOwnersLockIsTakenOver() {
        QString copyPath;
        {
            qt::QtRecoveryStore owner(folder());
            std::string reason;
            QVERIFY(owner.writeNow("h\n\n", "A", reason));
            copyPath = owner.copyPath();
        }
        leaveDeadOwnersLock(copyPath);
        qt::QtRecoveryStore first(folder());
        auto left = first.claimLeftCopies();
        QCOMPARE(left.size(), std::size_t{1});
        first.release(left[0].id);
        qt::QtRecoveryStore second(folder());
        QCOMPARE(second.claimLeftCopies().size(), std::size_t{1});
        QVERIFY(QFile::exists(copyPath));
    }

    void writesLaterReplaceTheCopyOnTheWorkerAndDiscardRemovesIt() {
        qt::QtRecoveryStore store(folder());
        for (const char* text : {"first", "second", "third"})
            store.writeLater("h\n\n", std::make_shared<const LargeText>(text), {});
        QTRY_COMPARE(ReadAll(store.copyPath()), std::string("h\n\nthird"));
        // A library's text in large pages of its own, written whole before they go.
        LargeText large(kLargePage + 12345, 'x');
        large.back() = 'y';
        store.writeLater("h\n\n", std::make_shared<const LargeText>(large), {});
        QTRY_COMPARE(ReadAll(store.copyPath()), "h\n\n" + std::string(large));
        store.discard();
        QVERIFY(!QFile::exists(store.copyPath()));
        QVERIFY(QDir(folder()).entryList(QDir::Files).isEmpty());

        // Discarding drops a write that has not happened yet.
        store.writeLater("h\n\n", std::make_shared<const LargeText>("late"), {});
        store.discard();
        QVERIFY(!QFile::exists(store.copyPath()));
        std::string reason;
        QVERIFY(store.writeNow("h\n\n", "now", reason));
        QCOMPARE(ReadAll(store.copyPath()), std::string("h\n\nnow"));

        // A text the caller does not want kept, asked on the worker, removes the copy.
        const auto notSaved = [](std::string_view body) { return body != "saved"; };
        store.writeLater("h\n\n", std::make_shared<const LargeText>("edited"), notSaved);
        QTRY_COMPARE(ReadAll(store.copyPath()), std::string("h\n\nedited"));
        store.writeLater("h\n\n", std::make_shared<const LargeText>("saved"), notSaved);
        QTRY_VERIFY(!QFile::exists(store.copyPath()));
    }

    void aFolderThatCannotBeMadeGivesTheReasonAndNoCopy() {
        QFile blocker(folder());
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        qt::QtRecoveryStore store(folder());
        std::string reason;
        QCOMPARE(store.writeNow("h\n\n", "A", reason), std::optional<std::string>());
        QCOMPARE(reason, std::string("the folder cannot be made."));
    }

    void aCopyThatCannotBeWrittenWholeIsNotKept() {
        qt::QtRecoveryStore store(folder());
        std::string reason;
        QVERIFY(store.writeNow("h\n\n", "small", reason)); // the folder and lock exist now
        // A file-size limit fails writes past it, as a full disk does.
        std::optional<std::string> written;
        {
            FileSizeLimit limit(16 * 1024);
            written = store.writeNow("h\n\n", std::string(64 * 1024, 'x'), reason);
        }
        QCOMPARE(written, std::optional<std::string>());
        QVERIFY(!reason.empty());
        // The earlier, complete copy is what stays.
        QCOMPARE(ReadAll(store.copyPath()), std::string("h\n\nsmall"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtRecoveryStoreTest)
#include "QtRecoveryStoreTest.moc"
