#pragma once

#include "catalogue/EngineError.h"

#include <QString>
#include <exception>
#include <optional>

// Why an action the user started ended early, as the user is told it. The one rule
// by which every layer turns an exception into a message: an engine error and a
// settings error give their own text, any other error its what(), and a silent
// abort gives nothing to show.
struct ActionFailure {
    QString message;
    bool silent = false; // a silent abort: nothing is shown

    static ActionFailure of(const std::exception &error)
    {
        if (dynamic_cast<const AbortError *>(&error))
            return {QString(), true};
        if (const auto *engine = dynamic_cast<const EngineError *>(&error))
            return {engine->message(), false};
        // Our other errors (the settings') keep their text in what() as UTF-8.
        return {QString::fromUtf8(error.what()), false};
    }
};

// Runs an action; nothing when it ran to its end, else why it did not.
template <typename Action>
std::optional<ActionFailure> runAction(Action &&action)
{
    try {
        action();
        return std::nullopt;
    } catch (const std::exception &error) {
        return ActionFailure::of(error);
    }
}
