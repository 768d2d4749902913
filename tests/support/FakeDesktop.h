#pragma once
// A fake xdg-open put first on PATH while the object lives, so window tests
// hand files to the desktop without starting any program: it notes each path
// it is given and answers with the exit status and stderr message the test
// chose (0 and nothing at first). Without() takes xdg-open away altogether.
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace pellam::test {

class FakeDesktop {
public:
    FakeDesktop() : m_path(qgetenv("PATH"))
    {
        const QString dir = m_dir.path();
        Answer(0, {});
        QFile script(dir + "/xdg-open");
        script.open(QIODevice::WriteOnly);
        script.write(QString("#!/bin/sh\n"
                             "printf '%s\\n' \"$1\" >> '%1/opened'\n"
                             "/bin/cat '%1/message' >&2\n"
                             "exit $(/bin/cat '%1/status')\n")
                         .arg(dir)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir.toUtf8() + ":" + m_path);
    }
    ~FakeDesktop() { qputenv("PATH", m_path); }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // How the next hand-overs end.
    void Answer(int status, const QString& message)
    {
        Write("status", QByteArray::number(status));
        Write("message", message.toUtf8());
    }
    // No xdg-open anywhere on PATH (until the object goes).
    void Without() { qputenv("PATH", m_empty.path().toUtf8()); }
    // The paths handed over so far, in order.
    QStringList Opened() const
    {
        QFile log(m_dir.filePath("opened"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    QByteArray m_path;
    QTemporaryDir m_dir;
    QTemporaryDir m_empty;
};

} // namespace pellam::test
