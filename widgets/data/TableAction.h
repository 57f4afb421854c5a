#pragma once

#include "catalogue/ActionFailure.h"

#include <QString>

// Runs a table operation that a user action started, so that no exception reaches
// Qt's event loop. Returns false when it failed; `message` then holds what to tell
// the user, or stays empty for a silent abort.
template <typename Op>
bool tryTableAction(Op &&op, QString &message)
{
    const std::optional<ActionFailure> failure = runAction(op);
    message = failure ? failure->message : QString();
    return !failure;
}
