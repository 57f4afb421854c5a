#pragma once

#include "catalogue/session/CatalogueSession.h"

#include <QString>

class QWidget;

// Catalogues kept by the program's earlier versions are Paradox tables under the same
// ".db" name. When Open, Reopen or the start-up meets one, the user is asked whether to
// convert it; a Paradox table that cannot be converted is refused with its reason.
class ParadoxOffer
{
public:
    enum class Answer {
        NotParadox, // any other file: opened as usual
        Declined,   // the user said No: opened as usual, which refuses it
        Converted,  // converted and open
        Failed,     // refused or the conversion failed: the outcome says why
    };
    struct Result {
        Answer answer = Answer::NotParadox;
        SessionOutcome outcome;
    };

    ParadoxOffer(QWidget &window, CatalogueSession &session) : m_window(window), m_session(session) {}

    // Asks about the file at `path` when it is a Paradox table, and converts and opens
    // it when the user agrees, with the progress dialog for large tables.
    Result offer(const QString &path);

    static QString question() { return QStringLiteral("This catalogue is in the old Paradox format. Convert it?"); }

private:
    QWidget &m_window;
    CatalogueSession &m_session;
};
