#pragma once
// Shared by the test executables: the Russian locale every test runs under, so that the
// program's "." is shown not to come from the user's regional settings.

#include <QString>

void UseRussianLocale();

// A text of n copies of c.
QString Repeated(QChar c, qsizetype n);
