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
