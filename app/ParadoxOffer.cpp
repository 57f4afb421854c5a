#include "app/ParadoxOffer.h"

#include "app/ProgressShown.h"
#include "catalogue/session/ParadoxConversion.h"

#include <QFileInfo>
#include <QMessageBox>

ParadoxOffer::Result ParadoxOffer::offer(const QString &path)
{
    Result result;
    const ParadoxConversion::Probe probe = ParadoxConversion::probe(path);
    switch (probe.verdict) {
    case ParadoxConversion::Verdict::NotParadox:
        return result;
    case ParadoxConversion::Verdict::Refused:
        // Nothing was touched; the previous catalogue stays open.
        result.answer = Answer::Failed;
        result.outcome.cantOpen = probe.reason;
        return result;
    case ParadoxConversion::Verdict::Convertible:
        break;
    }

    QMessageBox box(QMessageBox::Question, QStringLiteral("Moxarium"), question(), QMessageBox::Yes | QMessageBox::No,
                    &m_window);
    box.setObjectName(QStringLiteral("ParadoxQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes) {
        result.answer = Answer::Declined;
        return result;
    }
    ProgressShown progress(&m_window, QStringLiteral("Converting %1...").arg(QFileInfo(path).fileName()));
    result.outcome = m_session.convertAndOpen(path, progress.callback());
    result.answer = result.outcome.succeeded ? Answer::Converted : Answer::Failed;
    return result;
}
