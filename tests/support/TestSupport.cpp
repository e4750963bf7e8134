#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>
#include <clocale>

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
