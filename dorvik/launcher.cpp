#include "launcher.h"

#include "textdecoding.h"

#include <QProcess>

Launcher::Launcher(QObject *parent)
    : QObject(parent),
      m_process(new QProcess(this))
{
}

QString Launcher::launch(const QString &program)
{
    const QStringList words = QProcess::splitCommand(program);
    if (words.isEmpty())
        return QString();
    m_process->start(words.first(), words.mid(1), QIODevice::ReadWrite);
    // A command that reads its input gets end-of-input instead of blocking the host forever.
    if (m_process->waitForStarted(-1))
        m_process->closeWriteChannel();
    m_process->waitForFinished(-1);
    m_process->readAllStandardError(); // dropped, not kept until the next launch
    const QByteArray output = m_process->readAllStandardOutput();
    return localText(output.constData(), output.size());
}
