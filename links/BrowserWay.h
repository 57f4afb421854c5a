#pragma once

#include <QDeadlineTimer>
#include <QString>

// One way of handing an address to a browser.
class BrowserWay
{
public:
    virtual ~BrowserWay() = default;
    // False when this way did not take the address; it waits no longer than `deadline`.
    virtual bool handOver(const QString &address, QDeadlineTimer deadline) = 0;
};
