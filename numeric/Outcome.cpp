#include "Outcome.h"

QString Outcome::textOf(const QString& label) const
{
    for (auto it = results.crbegin(); it != results.crend(); ++it)
        if (it->label == label)
            return it->text;
    return {};
}
