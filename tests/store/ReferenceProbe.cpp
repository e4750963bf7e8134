// A second calculator for the database tests: opens the database named on the command line
// in a process of its own, looks one strength up and prints the row (or the error).
//   ReferenceProbe DATABASE STRENGTH

#include "Error.h"
#include "ReferenceDatabase.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATABASE STRENGTH\n", argv[0]);
        return 2;
    }
    try {
        ReferenceDatabase database;
        database.setDatabaseName(QString::fromLocal8Bit(argv[1]));
        database.open();
        const auto row = database.lookup(QString::fromLocal8Bit(argv[2]));
        if (row)
            std::printf("%.17g %.17g\n", row->P_MAS, row->PL);
        else
            std::printf("no row\n");
        std::printf("FIREBIRD_LOCK=%s\n", qgetenv("FIREBIRD_LOCK").constData());
        database.close();
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
