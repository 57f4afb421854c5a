#pragma once

#include <string>

// The Windows headers' min and max macros would break std::min and Qt's headers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ddeml.h>

// A DDE client conversation in ANSI text. Connecting closes any earlier link and
// connects at once; when no server answers, it starts "service topic" once,
// minimised and without activation, and connects again. Without a server every
// request and execute fails. The link is closed when the object goes.
class DdeConversation
{
public:
    DdeConversation();
    ~DdeConversation();
    DdeConversation(const DdeConversation &) = delete;
    DdeConversation &operator=(const DdeConversation &) = delete;

    bool connect(const std::string &service, const std::string &topic);
    // True when the server replied within `timeoutMs`; the reply itself is not kept.
    bool request(const std::string &item, DWORD timeoutMs);
    // True when the server accepted the command; its completion is not waited for.
    bool execute(const std::string &command);

private:
    HCONV tryConnect(const std::string &service, const std::string &topic);
    void disconnect();

    DWORD m_instance = 0;
    HCONV m_conversation = nullptr;
};
