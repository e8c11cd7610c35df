// Arbitrary bytes as a file's content: Quorvel's read() gives exactly what the line-by-line
// text-stream reading gives.

#include "fuzzhost.h"
#include "reference/textstreamread.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzHost host("import Quorvel 1.0\nQuorvel {}");
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();

    host.object->setProperty("source", path);
    QString text;
    QMetaObject::invokeMethod(host.object.get(), "read", Q_RETURN_ARG(QString, text));
    if (text != textStreamRead(path)) {
        qWarning("read() differs from the text stream reading");
        std::abort();
    }
    return 0;
}
