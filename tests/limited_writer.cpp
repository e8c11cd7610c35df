// Writes through Quorvel under a file-size limit, as a child of tst_quorvel.
// Usage: limited_writer <file> <limit in bytes> <bytes to write>
// Prints "written" or "refused".

#include "qmltest.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const rlim_t limit = rlim_t(QByteArray(argv[2]).toULongLong());
    const struct rlimit fileSize = {limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 2;
    // Past the limit, write() then fails with EFBIG instead of the process being killed.
    std::signal(SIGXFSZ, SIG_IGN);

    QCoreApplication app(argc, argv);
    QQmlEngine engine;
    addTestImportDir(engine);
    const std::unique_ptr<QObject> file = createQmlObject(engine, "import Quorvel 1.0\nQuorvel {}");
    if (!file)
        return 2;
    file->setProperty("source", QString::fromLocal8Bit(argv[1]));
    bool written = false;
    QMetaObject::invokeMethod(
            file.get(), "write", Q_RETURN_ARG(bool, written),
            Q_ARG(QString, QString(QByteArray(argv[3]).toInt(), QLatin1Char('n'))));
    std::puts(written ? "written" : "refused");
    return 0;
}
