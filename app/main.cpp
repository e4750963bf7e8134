#include "Numbers.h"
#include "Startup.h"
#include "TForm1.h"

#include <QApplication>

namespace {

// Module initialisation: the decimal separator is "." before any window exists, whatever the
// user's regional settings.
const bool g_decimalSeparatorSet = [] {
    SetDecimalSeparator(QLatin1Char('.'));
    return true;
}();

} // namespace

int main(int argc, char* argv[])
{
    // The application title is never set: it stays derived from the executable's file name.
    QApplication application(argc, argv);
    return RunProgram<TForm1>(application);
}
