#pragma once

#include "catalogue/ActionFailure.h"

#include <QString>

class QWidget;

// The application's general error report: a modal box with an error icon, one
// OK button, the caption "Moxarium" and the error's own text.
namespace ErrorReport {

// A full stop is added when the text's last character comes after the full stop.
QString withFullStop(const QString &text);
void show(QWidget *parent, const QString &text);
// Shows the failure unless it is a silent abort.
void show(QWidget *parent, const ActionFailure &failure);

// Runs a handler; an error it raises ends it and is reported, a silent abort
// ends it quietly. Returns whether the handler ran to its end.
template <typename Handler>
bool guarded(QWidget *parent, Handler &&handler)
{
    const std::optional<ActionFailure> failure = runAction(handler);
    if (failure)
        show(parent, *failure);
    return !failure;
}

} // namespace ErrorReport
