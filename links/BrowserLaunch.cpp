#include "links/BrowserLaunch.h"

#include "links/WebAddress.h"

BrowserLaunch::BrowserLaunch(std::vector<std::unique_ptr<BrowserWay>> ways) : m_ways(std::move(ways)) {}

void BrowserLaunch::launch(const QString &address)
{
    if (!isWebAddress(address))
        return;
    const QDeadlineTimer deadline(TimeLimit);
    for (const std::unique_ptr<BrowserWay> &way : m_ways) {
        if (way->handOver(address, deadline))
            return;
    }
}
