#pragma once
// Every event handler runs inside Guarded: a failure ends the handler at the failing
// step and is shown in the error box; the program goes on with the next event.
// (Qt does not let exceptions cross its event loop, so this sits inside each slot.)

#include "Error.h"
#include "MessageBoxes.h"

#include <exception>
#include <new>

template <class Handler>
void Guarded(Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const Error& error) {
        ShowErrorBox(error);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(Error(QStringLiteral("Out of memory"), "EOutOfMemory"));
    } catch (const std::exception& error) {
        ShowErrorBox(Error(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        ShowErrorBox(Error(QStringLiteral("Unknown error")));
    }
}
