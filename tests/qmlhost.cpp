// Runs a QML script in a child process for the tests that need one: under a file-size
// limit, or as another user (started through setpriv).
// Usage: qmlhost [--fsize <bytes>] <script.qml> [arguments for the script...]
// The script finds its arguments in the context property `scriptArguments`, prints its results
// with console.log (to standard output, one line each) and ends with Qt.quit().

#include "qmltest.h"

#include <QCoreApplication>
#include <QQmlContext>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

void printMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    std::FILE *stream = type == QtDebugMsg || type == QtInfoMsg ? stdout : stderr;
    std::fprintf(stream, "%s\n", qPrintable(message));
    std::fflush(stream);
}

} // namespace

int main(int argc, char **argv)
{
    int first = 1;
    if (argc > 3 && QByteArray(argv[1]) == "--fsize") {
        const rlim_t limit = rlim_t(QByteArray(argv[2]).toULongLong());
        const struct rlimit fileSize = {limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return 2;
        // Past the limit, write() then fails with EFBIG instead of the process being killed.
        std::signal(SIGXFSZ, SIG_IGN);
        first = 3;
    }
    if (first >= argc)
        return 2;

    qInstallMessageHandler(printMessage);
    QCoreApplication app(argc, argv);
    QQmlEngine engine;
    addTestImportDir(engine);
    QObject::connect(&engine, &QQmlEngine::quit, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&engine, &QQmlEngine::exit, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    // A script error would otherwise leave the script waiting forever.
    QObject::connect(
            &engine, &QQmlEngine::warnings, &app, [&app] { app.exit(3); }, Qt::QueuedConnection);
    QStringList arguments;
    for (int i = first + 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    engine.rootContext()->setContextProperty(QStringLiteral("scriptArguments"), arguments);
    QQmlComponent component(&engine, QString::fromLocal8Bit(argv[first]));
    const std::unique_ptr<QObject> script(component.create());
    if (!script) {
        qWarning("%s", qPrintable(component.errorString()));
        return 2;
    }
    return app.exec();
}
