// Quorvel behaviour that QML cannot set up: another codec for the locale, a file-size
// limit, special files, links, ownership and modes.

#include "files.h"
#include "qmltest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

class tst_Quorvel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void decodesWithLocaleCodec_data();
    void decodesWithLocaleCodec();
    void encodesWithLocaleCodec();

    void sizeLimitKeepsOldContent_data();
    void sizeLimitKeepsOldContent();

    void keepsWhatTheFileIs_data();
    void keepsWhatTheFileIs();
    void newFileGetsUsualMode();
    void fullDeviceReportsFailure();
    void fifoReaderGetsData();

private:
    QString read(const QString &path);
    bool write(const QString &path, const QString &data);
    QStringList leftovers() const;

    QQmlEngine mEngine;
    std::unique_ptr<QTemporaryDir> mDir;
};

void tst_Quorvel::init()
{
    addTestImportDir(mEngine);
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
}

void tst_Quorvel::cleanup()
{
    QTextCodec::setCodecForLocale(nullptr);
    QCOMPARE(leftovers(), QStringList());
}

QString tst_Quorvel::read(const QString &path)
{
    const std::unique_ptr<QObject> file =
            createQmlObject(mEngine, "import Quorvel 1.0\nQuorvel {}");
    file->setProperty("source", path);
    QString text;
    QMetaObject::invokeMethod(file.get(), "read", Q_RETURN_ARG(QString, text));
    return text;
}

bool tst_Quorvel::write(const QString &path, const QString &data)
{
    const std::unique_ptr<QObject> file =
            createQmlObject(mEngine, "import Quorvel 1.0\nQuorvel {}");
    file->setProperty("source", path);
    bool written = false;
    QMetaObject::invokeMethod(file.get(), "write", Q_RETURN_ARG(bool, written),
                              Q_ARG(QString, data));
    return written;
}

// Temporary files of an atomic replacement that were not cleaned up.
QStringList tst_Quorvel::leftovers() const
{
    return QDir(mDir->path()).entryList({QStringLiteral(".*.tmp")}, QDir::Hidden | QDir::Files);
}

void tst_Quorvel::decodesWithLocaleCodec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("no BOM") << QByteArray("\xE9t\xE9\n!") << QStringLiteral("\u00E9t\u00E9!");
    QTest::newRow("UTF-8 bytes, no BOM")
            << QByteArray("\xC3\xA9") << QStringLiteral("\u00C3\u00A9");
    QTest::newRow("UTF-8 BOM wins")
            << QByteArray("\xEF\xBB\xBF\xC3\xA9\n") << QStringLiteral("\u00E9");
    QTest::newRow("UTF-16LE BOM wins")
            << QByteArray("\xFF\xFE\xE9\x00\n\x00", 6) << QStringLiteral("\u00E9");
}

void tst_Quorvel::decodesWithLocaleCodec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const QString path = mDir->filePath(QStringLiteral("latin1.txt"));
    QVERIFY(writeBytes(path, bytes));
    QCOMPARE(read(path), text);
}

void tst_Quorvel::encodesWithLocaleCodec()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const QString path = mDir->filePath(QStringLiteral("latin1.txt"));
    QVERIFY(write(path, QStringLiteral("\u00E9t\u00E9\n")));
    QCOMPARE(readBytes(path), QByteArray("\xE9t\xE9\n"));
}

void tst_Quorvel::sizeLimitKeepsOldContent_data()
{
    QTest::addColumn<bool>("hardLinked");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fits");
    // Qt's own write buffer is 16 KiB: a smaller write is the one that a stream hides.
    for (const bool hardLinked : {false, true}) {
        const char *how = hardLinked ? "in place" : "replaced";
        QTest::addRow("%s, fits", how) << hardLinked << 3000 << true;
        QTest::addRow("%s, smaller than Qt's buffer", how) << hardLinked << 5000 << false;
        QTest::addRow("%s, larger than Qt's buffer", how) << hardLinked << 100000 << false;
    }
}

void tst_Quorvel::sizeLimitKeepsOldContent()
{
    QFETCH(bool, hardLinked);
    QFETCH(int, size);
    QFETCH(bool, fits);
    const QString path = mDir->filePath(QStringLiteral("limited.txt"));
    const QByteArray old = QByteArray(1000, 'o') + "\nend\n";
    QVERIFY(writeBytes(path, old));
    if (hardLinked)
        QCOMPARE(::link(qPrintable(path), qPrintable(path + QStringLiteral(".link"))), 0);

    QProcess child;
    child.start(QStringLiteral(QMLHOST),
                {QStringLiteral("--fsize"), QStringLiteral("4096"),
                 QStringLiteral(HOSTED_SCRIPTS "/write.qml"), path, QString::number(size)});
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput().trimmed(),
             fits ? QByteArray("written") : QByteArray("refused"));
    QCOMPARE(readBytes(path), fits ? QByteArray(size, 'n') : old);
}

void tst_Quorvel::keepsWhatTheFileIs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("replaced"); // a new inode takes the name
    QTest::newRow("single link, mode 0640") << "mode" << true;
    QTest::newRow("another group") << "group" << true;
    QTest::newRow("another owner") << "owner" << false;
    QTest::newRow("hard link") << "hardlink" << false;
    QTest::newRow("set-uid") << "setuid" << false;
    QTest::newRow("symbolic link") << "symlink" << false;
    QTest::newRow("character device") << "device" << false;
}

// Whatever the path names before the write, it names the same kind of thing after it,
// with the same owner, group, mode and links.
void tst_Quorvel::keepsWhatTheFileIs()
{
    QFETCH(QString, kind);
    QFETCH(bool, replaced);
    if (::geteuid() != 0 && kind != QLatin1String("mode") && kind != QLatin1String("hardlink")
        && kind != QLatin1String("symlink"))
        QSKIP("needs root");

    const QString path = mDir->filePath(QStringLiteral("file"));
    const QString other = mDir->filePath(QStringLiteral("other"));
    const QByteArray native = QFile::encodeName(path);
    if (kind == QLatin1String("device")) {
        QCOMPARE(::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)), 0); // a null device
    } else if (kind == QLatin1String("symlink")) {
        QVERIFY(writeBytes(other, "old\n"));
        QVERIFY(QFile::link(QStringLiteral("other"), path));
    } else {
        QVERIFY(writeBytes(path, "old\n"));
    }
    if (kind == QLatin1String("mode"))
        QCOMPARE(::chmod(native.constData(), 0640), 0);
    if (kind == QLatin1String("group"))
        QCOMPARE(::chown(native.constData(), ::geteuid(), 65534), 0);
    if (kind == QLatin1String("owner"))
        QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
    if (kind == QLatin1String("hardlink"))
        QCOMPARE(::link(native.constData(), QFile::encodeName(other).constData()), 0);
    if (kind == QLatin1String("setuid"))
        QCOMPARE(::chmod(native.constData(), 04755), 0);
    const struct stat before = lstatOf(path);
    const struct stat targetBefore = lstatOf(other);

    QVERIFY(write(path, QStringLiteral("new\n")));

    const struct stat after = lstatOf(path);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_nlink, before.st_nlink);
    QCOMPARE(after.st_rdev, before.st_rdev);
    QCOMPARE(after.st_ino != before.st_ino, replaced);
    if (kind == QLatin1String("device"))
        return;
    QCOMPARE(readBytes(path), QByteArray("new\n"));
    if (kind == QLatin1String("symlink")) {
        QCOMPARE(QFile::symLinkTarget(path), other);
        const struct stat target = lstatOf(other);
        QCOMPARE(target.st_mode, targetBefore.st_mode);
        QVERIFY(target.st_ino != targetBefore.st_ino);
    }
    if (kind == QLatin1String("hardlink"))
        QCOMPARE(readBytes(other), QByteArray("new\n"));
}

void tst_Quorvel::newFileGetsUsualMode()
{
    const mode_t oldMask = ::umask(027);
    const QString path = mDir->filePath(QStringLiteral("new.txt"));
    const bool written = write(path, QStringLiteral("new"));
    ::umask(oldMask);
    QVERIFY(written);
    QCOMPARE(lstatOf(path).st_mode, mode_t(S_IFREG | 0640));
    QCOMPARE(readBytes(path), QByteArray("new"));
}

void tst_Quorvel::fullDeviceReportsFailure()
{
    if (::geteuid() != 0)
        QSKIP("needs root");
    const QString path = mDir->filePath(QStringLiteral("full"));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 7)), 0); // always full
    QVERIFY(!write(path, QStringLiteral("data")));
    const struct stat after = lstatOf(path);
    QVERIFY(S_ISCHR(after.st_mode));
    QCOMPARE(after.st_rdev, makedev(1, 7));
}

void tst_Quorvel::fifoReaderGetsData()
{
    const QString path = mDir->filePath(QStringLiteral("fifo"));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        const int fd = ::open(native.constData(), O_RDONLY);
        char buffer[4096];
        ssize_t n;
        while (fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, int(n));
        ::close(fd);
    });
    const QString data = QString(100000, QLatin1Char('f')) + QStringLiteral("\nend");
    const bool written = write(path, data);
    reader.join();
    QVERIFY(written);
    QCOMPARE(received, data.toLatin1());
    QVERIFY(S_ISFIFO(lstatOf(path).st_mode));
}

QTEST_GUILESS_MAIN(tst_Quorvel)

#include "tst_quorvel.moc"
