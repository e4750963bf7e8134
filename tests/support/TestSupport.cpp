#include "TestSupport.h"

#include <QLocale>
#include <clocale>

void UseRussianLocale()
{
    std::setlocale(LC_ALL, "ru_RU.UTF-8");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

QString Repeated(QChar c, qsizetype n) { return QString(n, c); }
