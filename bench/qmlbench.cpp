// `make bench`: each workload, for our modules and for each baseline, in a fresh process;
// the median of the runs, the ratio to ours and the peak memory that the work added.
//
//   qmlbench [--runs N] [--json FILE] [--only PREFIX] [--qt6 QT6_QMLBENCH]
//   qmlbench --child <workload> <implementation> <runs> <data dir>   (one measurement)
//
// Our calls go through the public invokables of objects made by a real QML engine. With
// --qt6, our rows are measured again by the same program built against Qt 6.

#include "reference/textstreamread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr qint64 bigFile = 64 * 1024 * 1024;

struct Workload
{
    QString id;
    QString what;
    QString file; // in the data folder
    int repeat; // calls per run
    QStringList implementations; // the first is ours
};

const QList<Workload> &workloads()
{
    static const QList<Workload> all = {
            {"read_ascii",
             "read 64 MiB ASCII, 80-column lines",
             "ascii.txt",
             1,
             {"quorvel", "reference", "readAll", "python", "node"}},
            {"read_utf8",
             "read 64 MiB UTF-8 multi-byte text",
             "utf8.txt",
             1,
             {"quorvel", "reference", "readAll", "python", "node"}},
            {"read_crlf",
             "read 64 MiB CRLF lines",
             "crlf.txt",
             1,
             {"quorvel", "reference", "readAll", "python", "node"}},
            {"read_oneline",
             "read 64 MiB, one line",
             "oneline.txt",
             1,
             {"quorvel", "reference", "readAll", "python", "node"}},
            {"read_1k",
             "read a 1 KiB file x10000",
             "small.txt",
             10000,
             {"quorvel", "reference", "python", "node"}},
            {"write_64m",
             "write 64 MiB",
             "ascii.txt",
             1,
             {"quorvel", "reference", "reference+sync"}},
            {"write_1k",
             "write 1 KiB x1000",
             "small.txt",
             1000,
             {"quorvel", "reference", "reference+sync"}},
            {"launch_true",
             "launch /bin/true x500",
             "",
             500,
             {"quorvel", "posix_spawn", "python", "node"}},
            {"launch_true_1g",
             "launch /bin/true x100, host holding 1 GiB",
             "",
             100,
             {"quorvel", "posix_spawn"}},
            {"launch_cat",
             "launch cat of 64 MiB",
             "ascii.txt",
             1,
             {"quorvel", "posix_spawn", "python", "node"}},
    };
    return all;
}

double residentMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// The fixtures: files of about 64 MiB of several kinds (whole lines only) and a 1 KiB one.
void makeData(const QString &dir)
{
    const auto make = [&](const char *name, const QByteArray &unit, qint64 size) {
        QFile file(dir + QLatin1Char('/') + QLatin1String(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        const QByteArray block = unit.repeated(qMax(1, int(size / unit.size()) / 64));
        for (qint64 left = size / unit.size() * unit.size(); left > 0; left -= block.size())
            file.write(block.constData(), qMin<qint64>(left, block.size()));
    };
    const QByteArray line80 = QByteArray(79, 'x').replace(10, 1, " ") + '\n';
    make("ascii.txt", line80, bigFile);
    make("crlf.txt", QByteArray(78, 'c') + "\r\n", bigFile);
    make("utf8.txt", QByteArray("Grüße aus Köln, 日本語のテキスト, текст на русском языке.\n"),
         bigFile);
    make("oneline.txt", QByteArray("0123456789abcdef"), bigFile);
    make("small.txt", QByteArray(63, 's') + '\n', 1024);
}

QString spawnAndRead(const char *program, const char *argument)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return QString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    char *argv[] = {const_cast<char *>(program), const_cast<char *>(argument), nullptr};
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, program, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    QByteArray output;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, int(n));
    ::close(fds[0]);
    if (started)
        ::waitpid(pid, nullptr, 0);
    return QString::fromUtf8(output);
}

bool textStreamWrite(const QString &path, const QString &text, bool sync)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream stream(&file);
    stream << text;
    stream.flush();
    return !sync || ::fsync(file.handle()) == 0;
}

// One workload, one implementation, in this process: prints a line of JSON.
int runChild(const QString &workloadId, const QString &implementation, int runs, const QString &dir)
{
    const auto found = std::find_if(workloads().begin(), workloads().end(),
                                    [&](const Workload &w) { return w.id == workloadId; });
    if (found == workloads().end())
        return 2;
    const Workload &workload = *found;
    const QString data = dir + QLatin1Char('/') + workload.file;
    const QString target = dir + QStringLiteral("/written.txt");

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral(QML_IMPORT_DIR));
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport Quorvel 1.0\nimport Dorvik 1.0\n"
                      "QtObject { property Quorvel file: Quorvel {}\n"
                      "           property Launcher launcher: Launcher {} }",
                      QUrl());
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 2;
    }
    QObject *file = root->property("file").value<QObject *>();
    QObject *launcher = root->property("launcher").value<QObject *>();

    QString text;
    if (workloadId.startsWith(QLatin1String("write"))) {
        QFile source(data);
        source.open(QIODevice::ReadOnly);
        text = QString::fromLatin1(source.readAll());
    }
    std::unique_ptr<char[]> ballast;
    if (workloadId.endsWith(QLatin1String("_1g"))) {
        ballast.reset(new char[size_t(1) << 30]);
        std::memset(ballast.get(), 1, size_t(1) << 30);
    }
    file->setProperty("source", workloadId.startsWith(QLatin1String("write")) ? target : data);

    std::function<qint64()> call;
    if (implementation == QLatin1String("quorvel")
        && workloadId.startsWith(QLatin1String("read"))) {
        call = [file] {
            QString result;
            QMetaObject::invokeMethod(file, "read", Q_RETURN_ARG(QString, result));
            return qint64(result.size());
        };
    } else if (implementation == QLatin1String("reference")
               && workloadId.startsWith(QLatin1String("read"))) {
        call = [data] { return qint64(textStreamRead(data).size()); };
    } else if (implementation == QLatin1String("readAll")) {
        call = [data] {
            QFile f(data);
            f.open(QIODevice::ReadOnly);
            return qint64(f.readAll().size());
        };
    } else if (implementation == QLatin1String("quorvel")
               && workloadId.startsWith(QLatin1String("write"))) {
        call = [file, &text] {
            bool ok = false;
            QMetaObject::invokeMethod(file, "write", Q_RETURN_ARG(bool, ok), Q_ARG(QString, text));
            return qint64(ok);
        };
    } else if (implementation.startsWith(QLatin1String("reference"))
               && workloadId.startsWith(QLatin1String("write"))) {
        const bool sync = implementation.endsWith(QLatin1String("sync"));
        call = [target, &text, sync] { return qint64(textStreamWrite(target, text, sync)); };
    } else if (implementation == QLatin1String("quorvel")) {
        const QString command = workloadId == QLatin1String("launch_cat")
                ? QStringLiteral("cat ") + data
                : QStringLiteral("/bin/true");
        call = [launcher, command] {
            QString result;
            QMetaObject::invokeMethod(launcher, "launch", Q_RETURN_ARG(QString, result),
                                      Q_ARG(QString, command));
            // A host returns to its event loop between calls; QProcess frees some things there.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return qint64(result.size());
        };
    } else if (implementation == QLatin1String("posix_spawn")) {
        const QByteArray argument = QFile::encodeName(data);
        const bool cat = workloadId == QLatin1String("launch_cat");
        call = [argument, cat] {
            return qint64(cat ? spawnAndRead("/bin/cat", argument.constData()).size()
                              : spawnAndRead("/bin/true", nullptr).size());
        };
    } else {
        return 2;
    }

    const double before = residentMiB("VmRSS:");
    QJsonArray times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < workload.repeat; ++i)
            call();
        times.append(double(clock.nsecsElapsed()) / 1e6);
    }
    const QJsonObject result{{"times_ms", times},
                             {"peak_mib", residentMiB("VmHWM:") - before},
                             {"version", QStringLiteral("Qt ") + QLatin1String(qVersion())}};
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n == 0 ? 0 : n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QJsonObject measure(const Workload &workload, const QString &implementation, int runs,
                    const QString &dir, const QString &binary)
{
    QProcess child;
    const QString data = dir + QLatin1Char('/') + workload.file;
    const QString baselines = QStringLiteral(BENCH_DIR "/baselines/");
    QStringList arguments;
    QString program;
    const bool external =
            implementation == QLatin1String("python") || implementation == QLatin1String("node");
    if (external) {
        program = implementation == QLatin1String("python") ? QStringLiteral("python3")
                                                            : QStringLiteral("node");
        arguments << baselines
                        + (implementation == QLatin1String("python")
                                   ? QStringLiteral("python_bench.py")
                                   : QStringLiteral("node_bench.js"));
        if (workload.id.startsWith(QLatin1String("read")))
            arguments << QStringLiteral("read") << data << QString::number(runs)
                      << QString::number(workload.repeat);
        else if (workload.id == QLatin1String("launch_cat"))
            arguments << QStringLiteral("launch") << QString::number(runs)
                      << QString::number(workload.repeat) << QStringLiteral("cat") << data;
        else
            arguments << QStringLiteral("launch") << QString::number(runs)
                      << QString::number(workload.repeat) << QStringLiteral("/bin/true");
    } else {
        program = binary;
        arguments << QStringLiteral("--child") << workload.id << implementation
                  << QString::number(runs) << dir;
    }
    child.start(program, arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed: %s\n", qPrintable(workload.id),
                     qPrintable(implementation), child.readAllStandardError().constData());
        return {};
    }
    QJsonObject result = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
    QList<double> times;
    for (const QJsonValue &t : result.value(QStringLiteral("times_ms")).toArray())
        times << t.toDouble();
    result.insert(QStringLiteral("median_ms"), median(times));
    return result;
}

int runAll(int runs, const QString &jsonPath, const QString &only, const QString &qt6)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    std::printf("Preparing 64 MiB fixtures in %s ...\n", qPrintable(dir.path()));
    makeData(dir.path());

    QJsonArray rows;
    std::printf("\n%-44s %-15s %12s %8s %10s %12s\n", "workload", "implementation", "median ms",
                "x ours", "peak MiB", "Qt 6 ms");
    for (const Workload &workload : workloads()) {
        if (!workload.id.startsWith(only))
            continue;
        double ours = 0;
        for (const QString &implementation : workload.implementations) {
            const QJsonObject result = measure(workload, implementation, runs, dir.path(),
                                               QCoreApplication::applicationFilePath());
            if (result.isEmpty())
                continue;
            const double ms = result.value(QStringLiteral("median_ms")).toDouble();
            const bool isOurs = implementation == workload.implementations.first();
            if (isOurs)
                ours = ms;
            const double ratio = ours > 0 ? ms / ours : 0;
            QJsonObject row = result;
            QString qt6Column;
            if (isOurs && !qt6.isEmpty()) {
                const QJsonObject onQt6 = measure(workload, implementation, runs, dir.path(), qt6);
                row.insert(QStringLiteral("qt6"), onQt6);
                qt6Column = QString::number(onQt6.value(QStringLiteral("median_ms")).toDouble(),
                                            'f', 2);
            }
            std::printf("%-44s %-15s %12.2f %8.2f %10.1f %12s\n", qPrintable(workload.what),
                        qPrintable(implementation), ms, ratio,
                        result.value(QStringLiteral("peak_mib")).toDouble(), qPrintable(qt6Column));
            std::fflush(stdout);
            row.insert(QStringLiteral("workload"), workload.id);
            row.insert(QStringLiteral("description"), workload.what);
            row.insert(QStringLiteral("implementation"), implementation);
            row.insert(QStringLiteral("ratio_to_ours"), ratio);
            rows.append(row);
        }
    }
    std::printf(
            "\nx ours: the implementation's median time over ours (above 1: ours is faster).\n");
    if (!jsonPath.isEmpty()) {
        QFile json(jsonPath);
        if (json.open(QIODevice::WriteOnly | QIODevice::Truncate))
            json.write(QJsonDocument(QJsonObject{{"runs", runs}, {"results", rows}}).toJson());
        std::printf("JSON: %s\n", qPrintable(jsonPath));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args.at(1) == QLatin1String("--child"))
        return runChild(args.at(2), args.at(3), args.at(4).toInt(), args.at(5));
    int runs = 5;
    QString json;
    QString only;
    QString qt6;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--runs"))
            runs = qMax(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--json"))
            json = args.at(i + 1);
        else if (args.at(i) == QLatin1String("--only"))
            only = args.at(i + 1);
        else if (args.at(i) == QLatin1String("--qt6"))
            qt6 = args.at(i + 1);
    }
    return runAll(runs, json, only, qt6);
}
