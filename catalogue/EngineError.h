#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Every failure of the table engine travels up as an EngineError; the layer that
// knows the user (the main window's general error report) shows its text.
class EngineError : public std::exception
{
public:
    // EditConflict: another program changed the record since its edit began; the
    // message is meant to be shown as it is.
    enum class Kind { General, KeyViolation, ReadOnly, Locked, ClosedDataSet, NotACatalogue, EditConflict };

    explicit EngineError(QString message, Kind kind = Kind::General)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_kind(kind) {}

    const QString &message() const noexcept { return m_message; }
    Kind kind() const noexcept { return m_kind; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
    Kind m_kind;
};

// A silent abort: ends the handler in progress without any message
// (a before-delete handler uses it to keep the record).
class AbortError : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};
