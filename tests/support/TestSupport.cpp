#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>
#include <clocale>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

void UseRussianLocale()
{
    std::setlocale(LC_ALL, "ru_RU.UTF-8");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

QString Repeated(QChar c, qsizetype n) { return QString(n, c); }

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("(unreadable)");
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entriesOf(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
}

QStringList deliveriesOf(const Outcome& outcome)
{
    QStringList texts;
    for (const Delivery& delivery : outcome.results)
        texts.append(delivery.label + QLatin1Char('=') + delivery.text);
    return texts;
}

void compareOutcome(const Outcome& outcome)
{
    QFETCH(QStringList, deliveries);
    QFETCH(QString, warning);
    QFETCH(QString, error);
    QCOMPARE(deliveriesOf(outcome), deliveries);
    QCOMPARE(outcome.warning.value_or(QString()), warning);
    QCOMPARE(outcome.error ? outcome.error->message() : QString(), error);
}

bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
