#pragma once
// What a calculation hands back to its window: the result texts in the order they are
// to be written, each with the name of its label, then what stopped it, if anything.

#include "Error.h"

#include <QList>
#include <QString>
#include <optional>

struct Delivery {
    QString label; // objectName of the result label
    QString text;
};

struct Outcome {
    QList<Delivery> results;
    std::optional<QString> warning; // shown in the warning box after the results (missing input, no row)
    std::optional<Error> error;     // the failure that ended the calculation, after the results

    void deliver(const QString& label, const QString& text) { results.append({label, text}); }
    QString textOf(const QString& label) const; // the last text delivered to label, or a null string
};

// Runs a calculation body that delivers into an Outcome; an Error it raises ends it
// and is kept, with every result delivered before it.
template <class Body>
Outcome RunCalculation(Body&& body)
{
    Outcome outcome;
    try {
        body(outcome);
    } catch (const Error& error) {
        outcome.error = error;
    }
    return outcome;
}
