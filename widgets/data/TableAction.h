#pragma once

#include "catalogue/EngineError.h"

#include <QString>
#include <exception>

// Runs a table operation that a user action started, so that no exception reaches
// Qt's event loop. Returns false when it failed; `message` then holds what to tell
// the user, or stays empty for a silent abort.
template <typename Op>
bool tryTableAction(Op &&op, QString &message)
{
    message.clear();
    try {
        op();
        return true;
    } catch (const AbortError &) {
    } catch (const EngineError &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    }
    return false;
}
