#pragma once

#include <QString>
#include <optional>

// Which Origin texts may leave the program. An Origin comes with the catalogue, and a
// catalogue may come from someone else, so only a web address is ever handed on:
// http, https or ftp, or an address without a scheme (a host name, then anything),
// taken as a web address. A local path, another scheme ("file:", "javascript:") or a
// text that starts with "-" (a program's option) is none. Blanks around the text
// do not count.
bool isWebAddress(const QString &text);

// The address as the desktop's opener needs it: trimmed, with "http://" before an
// address that has no scheme, encoded. Nothing when the text is no web address.
std::optional<QString> openerAddress(const QString &text);
