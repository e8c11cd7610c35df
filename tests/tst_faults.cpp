// Quorvel against real faults: a full filesystem (a small tmpfs mounted in a private
// mount namespace) and files this user may not touch (in a child running as uid 65534).

#include "files.h"
#include "qmltest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr qint64 tmpfsSize = 64 * 1024;
constexpr uid_t otherUid = 65534;

qint64 pages(qint64 bytes, qint64 pageSize)
{
    return (bytes + pageSize - 1) / pageSize;
}

ino_t inodeOf(const QString &path)
{
    return lstatOf(path).st_ino;
}

} // namespace

class tst_Faults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fullDisk_data();
    void fullDisk();
    void otherUser_data();
    void otherUser();

private:
    bool write(const QString &path, const QByteArray &data);

    QQmlEngine mEngine;
    std::unique_ptr<QObject> mFile;
    QTemporaryDir mMountPoint;
    QString mNoTmpfs; // why the full-disk test cannot run, if it cannot
};

void tst_Faults::initTestCase()
{
    addTestImportDir(mEngine);
    mFile = createQmlObject(mEngine, "import Quorvel 1.0\nQuorvel {}");
    QVERIFY(mFile);
    QVERIFY(mMountPoint.isValid());

    // The mount is seen only by this thread, in its own namespace, and goes with it.
    const QByteArray target = QFile::encodeName(mMountPoint.path());
    const QByteArray options = "size=" + QByteArray::number(tmpfsSize);
    if (::unshare(CLONE_NEWNS) != 0)
        mNoTmpfs = QStringLiteral("no private mount namespace: ")
                + QString::fromLocal8Bit(std::strerror(errno));
    else if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
             || ::mount("tmpfs", target.constData(), "tmpfs", 0, options.constData()) != 0)
        mNoTmpfs = QStringLiteral("cannot mount a tmpfs: ")
                + QString::fromLocal8Bit(std::strerror(errno));
}

void tst_Faults::cleanupTestCase()
{
    if (mNoTmpfs.isEmpty())
        ::umount2(QFile::encodeName(mMountPoint.path()).constData(), MNT_DETACH);
}

bool tst_Faults::write(const QString &path, const QByteArray &data)
{
    mFile->setProperty("source", path);
    bool written = false;
    QMetaObject::invokeMethod(mFile.get(), "write", Q_RETURN_ARG(bool, written),
                              Q_ARG(QString, QString::fromLatin1(data)));
    return written;
}

void tst_Faults::fullDisk_data()
{
    QTest::addColumn<bool>("hardLinked");
    QTest::newRow("replaced through a temporary file") << false;
    QTest::newRow("in place, hard-linked") << true;
}

// Writes of growing size into a 64 KiB filesystem: each succeeds exactly when the space
// that its way of writing needs is free, and a failed one leaves the old content as it was.
void tst_Faults::fullDisk()
{
    QFETCH(bool, hardLinked);
    if (!mNoTmpfs.isEmpty())
        QSKIP(qPrintable(mNoTmpfs));
    const QString path = mMountPoint.filePath(QStringLiteral("file.txt"));
    const QString link = mMountPoint.filePath(QStringLiteral("link.txt"));
    QFile::remove(path);
    QFile::remove(link);
    const QByteArray old = QByteArray(10000, 'o') + "\nold end\n";
    QVERIFY(writeBytes(path, old));
    if (hardLinked)
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()),
                 0);

    int written = 0;
    int refused = 0;
    for (qint64 size = 0; size <= tmpfsSize + 8192; size += 1531) {
        QVERIFY(writeBytes(path, old));
        struct statvfs fs;
        QCOMPARE(::statvfs(QFile::encodeName(mMountPoint.path()).constData(), &fs), 0);
        const qint64 pageSize = qint64(fs.f_bsize);
        // In place the old pages are reused; a replacement needs all new pages while the
        // old file still holds its own.
        const qint64 usable = qint64(fs.f_bavail) + (hardLinked ? pages(old.size(), pageSize) : 0);
        const bool fits = pages(size, pageSize) <= usable;
        const QByteArray data(int(size), char('a' + size % 26));

        QCOMPARE(write(path, data), fits);
        QCOMPARE(readBytes(path), fits ? data : old);
        if (hardLinked)
            QCOMPARE(inodeOf(link), inodeOf(path));
        QCOMPARE(QDir(mMountPoint.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 hardLinked ? 2 : 1);
        ++(fits ? written : refused);
    }
    qInfo("%d writes fitted, %d were refused", written, refused);
    QVERIFY(written > 3);
    QVERIFY(refused > 3);
}

void tst_Faults::otherUser_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("setup"); // "root 0600", "root 0644", "mine 0644" or "none"
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("content"); // afterwards; null: no file
    QTest::addColumn<bool>("sameInode");
    QTest::newRow("read a file it may not read")
            << "read"
            << "secret.txt"
            << "root 0600" << QByteArray("error: Unable to open the file") << QByteArray("old")
            << true;
    QTest::newRow("write a file it may not write")
            << "write"
            << "theirs.txt"
            << "root 0644" << QByteArray("refused") << QByteArray("old") << true;
    QTest::newRow("create a file in a folder it may not write")
            << "write"
            << "new.txt"
            << "none" << QByteArray("refused") << QByteArray() << true;
    QTest::newRow("write its own file in a folder it may not write (in place)")
            << "write"
            << "mine.txt"
            << "mine 0644" << QByteArray("written") << QByteArray("new") << true;
    QTest::newRow("read its own file")
            << "read"
            << "mine.txt"
            << "mine 0644" << QByteArray("text: old") << QByteArray("old") << true;
}

void tst_Faults::otherUser()
{
    QFETCH(QString, operation);
    QFETCH(QString, file);
    QFETCH(QString, setup);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, content);
    QFETCH(bool, sameInode);
    if (::geteuid() != 0)
        QSKIP("needs root to run a child as another user");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          | QFile::ReadOther | QFile::ExeOther));
    const QString path = dir.filePath(file);
    const QByteArray native = QFile::encodeName(path);
    if (setup != QLatin1String("none")) {
        QVERIFY(writeBytes(path, "old"));
        QCOMPARE(::chmod(native.constData(), setup.endsWith(QLatin1String("0600")) ? 0600 : 0644),
                 0);
        if (setup.startsWith(QLatin1String("mine")))
            QCOMPARE(::chown(native.constData(), otherUid, otherUid), 0);
    }
    const ino_t before = inodeOf(path);

    QProcess child;
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=%1").arg(otherUid),
                 QStringLiteral("--regid=%1").arg(otherUid), QStringLiteral("--clear-groups"),
                 QStringLiteral(QMLHOST), QStringLiteral(HOSTED_SCRIPTS "/access.qml"), operation,
                 path, QStringLiteral("new")});
    QVERIFY(child.waitForFinished());
    if (child.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("the child could not run as uid 65534: ")
                         + QString::fromLocal8Bit(child.readAllStandardError())));
    QCOMPARE(child.readAllStandardOutput().trimmed(), output);
    QCOMPARE(QFile::exists(path), !content.isNull());
    QCOMPARE(readBytes(path), content.isNull() ? QByteArray() : content);
    if (!content.isNull())
        QCOMPARE(inodeOf(path) == before, sameInode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             content.isNull() ? 0 : 1);
}

QTEST_GUILESS_MAIN(tst_Faults)

#include "tst_faults.moc"
