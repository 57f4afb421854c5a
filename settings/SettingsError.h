#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one error type of the settings library; the main window shows its text
// through the application's general error report.
class SettingsError : public std::exception
{
public:
    explicit SettingsError(QString message);

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
