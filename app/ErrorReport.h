#pragma once

#include "catalogue/EngineError.h"

#include <QString>
#include <exception>

class QWidget;

// The application's general error report: a modal box with an error icon, one
// OK button, the caption "Moxarium" and the error's own text.
namespace ErrorReport {

// A full stop is added when the text's last character comes after the full stop.
QString withFullStop(const QString &text);
void show(QWidget *parent, const QString &text);
// The text of an error of any of our kinds.
QString textOf(const std::exception &error);

// Runs a handler; an error it raises ends it and is reported, a silent abort
// ends it quietly. Returns whether the handler ran to its end.
template <typename Handler>
bool guarded(QWidget *parent, Handler &&handler)
{
    try {
        handler();
        return true;
    } catch (const AbortError &) {
        return false;
    } catch (const std::exception &e) {
        show(parent, textOf(e));
        return false;
    }
}

} // namespace ErrorReport
