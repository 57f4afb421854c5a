#pragma once

#include <QString>

// The one capitalisation rule for type and status names: trimmed of characters of
// code 32 or below, A-Z lowered, then a leading a-z raised. Nothing else changes.
QString NormalizeText(const QString &text);
// Removes leading and trailing characters of code 32 or below.
QString TrimControls(const QString &text);
