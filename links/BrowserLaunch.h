#pragma once

#include "links/BrowserWay.h"
#include "links/LinkLauncher.h"

#include <chrono>
#include <vector>

// The launch as a list of ways tried in order until one takes the address. Only a
// web address is handed to any of them, and the whole launch waits at most
// TimeLimit, however many ways fail.
class BrowserLaunch : public LinkLauncher
{
public:
    static constexpr std::chrono::milliseconds TimeLimit{10000};

    explicit BrowserLaunch(std::vector<std::unique_ptr<BrowserWay>> ways);
    void launch(const QString &address) override;

private:
    std::vector<std::unique_ptr<BrowserWay>> m_ways;
};
