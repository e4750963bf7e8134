#include "KeyFilter.h"

#include "MessageBoxes.h"

bool IsNumericKey(QChar key)
{
    const char16_t c = key.unicode();
    return c == 8 || c == 10 || c == 13 || c == u'.' || (c >= u'0' && c <= u'9');
}

void FilterNumericKey(QChar& key)
{
    if (IsNumericKey(key))
        return;
    key = QChar(0);
    ShowPlainMessage(QStringLiteral("Нет такой цыфры!"));
}
