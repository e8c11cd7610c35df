// Arbitrary command lines: the program that Launcher starts receives exactly the words
// that the splitting rules give. The program is printargs, which prints each argument
// it receives in hex on a line of its own.

#include "fuzzhost.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

// The splitting rules: whitespace outside double quotes separates words; three double
// quotes in a row are one literal quote; a remaining single quote opens or closes a
// quoted stretch, a remaining pair does both; empty words are dropped.
QStringList splitByTheRules(const QString &command)
{
    QStringList words;
    QString word;
    bool quoted = false;
    for (int i = 0; i < command.size();) {
        if (command.at(i) == QLatin1Char('"')) {
            int run = 0;
            while (i < command.size() && command.at(i) == QLatin1Char('"')) {
                ++run;
                ++i;
            }
            word += QString(run / 3, QLatin1Char('"'));
            if (run % 3 == 1)
                quoted = !quoted;
            continue;
        }
        if (!quoted && command.at(i).isSpace()) {
            if (!word.isEmpty())
                words << word;
            word.clear();
        } else {
            word += command.at(i);
        }
        ++i;
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzHost host("import Dorvik 1.0\nLauncher {}");
    // An argument cannot hold a NUL byte: the fuzzed text is everything else.
    QString command = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size));
    command.remove(QChar(0));

    QByteArray expected;
    for (const QString &word : splitByTheRules(command))
        expected += word.toLocal8Bit().toHex() + '\n';

    QString output;
    QMetaObject::invokeMethod(host.object.get(), "launch", Q_RETURN_ARG(QString, output),
                              Q_ARG(QString, QStringLiteral(PRINTARGS " ") + command));
    if (output.toLatin1() != expected) {
        qWarning("the program received other words than the rules give");
        std::abort();
    }
    return 0;
}
