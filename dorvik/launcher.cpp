#include "launcher.h"

#include "textdecoding.h"

#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutableFile(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode)
            && ::access(path.constData(), X_OK) == 0;
}

// Whether exec would find `program` as the C library's execvp() looks for it: a name with
// a slash is a path; any other name is looked up in PATH, where an empty entry stands for
// the working directory.
bool canBeExecuted(const QString &program)
{
    const QByteArray name = QFile::encodeName(program);
    if (name.contains('/'))
        return isExecutableFile(name);
    const QByteArray path = qEnvironmentVariableIsSet("PATH") ? qgetenv("PATH")
                                                              : QByteArrayLiteral("/bin:/usr/bin");
    for (const QByteArray &folder : path.split(':')) {
        if (isExecutableFile((folder.isEmpty() ? QByteArrayLiteral(".") : folder) + '/' + name))
            return true;
    }
    return false;
}

} // namespace

Launcher::Launcher(QObject *parent)
    : QObject(parent),
      m_process(new QProcess(this))
{
}

QString Launcher::launch(const QString &program)
{
    const QStringList words = QProcess::splitCommand(program);
    // A start that fails still costs a fork, and with Qt 6.4 a pipe that is never closed.
    if (words.isEmpty() || !canBeExecuted(words.first()))
        return QString();
    m_process->start(words.first(), words.mid(1), QIODevice::ReadWrite);
    LocalTextDecoder output;
    const auto take = [this, &output] {
        const QByteArray piece = m_process->readAllStandardOutput();
        output.feed(piece.constData(), piece.size());
        m_process->readAllStandardError(); // dropped, not kept
    };
    // A command that reads its input gets end-of-input instead of blocking the host forever.
    if (m_process->waitForStarted(-1)) {
        m_process->closeWriteChannel();
        // The output is decoded as it comes, while the program goes on writing, instead of
        // all at the end. The loop ends when the program itself has ended.
        while (m_process->waitForReadyRead(-1))
            take();
    }
    m_process->waitForFinished(-1);
    take();
    return output.finish();
}
