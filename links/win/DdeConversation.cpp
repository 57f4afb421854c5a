#include "links/win/DdeConversation.h"

namespace {

HDDEDATA CALLBACK ignoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// A DDE string handle, freed with its scope.
class StringHandle
{
public:
    StringHandle(DWORD instance, const std::string &text)
        : m_instance(instance), m_handle(instance ? DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI) : nullptr)
    {
    }
    ~StringHandle()
    {
        if (m_handle)
            DdeFreeStringHandle(m_instance, m_handle);
    }
    StringHandle(const StringHandle &) = delete;
    StringHandle &operator=(const StringHandle &) = delete;
    HSZ get() const { return m_handle; }

private:
    DWORD m_instance;
    HSZ m_handle;
};

} // namespace

DdeConversation::DdeConversation()
{
    if (DdeInitializeA(&m_instance, ignoreCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        m_instance = 0;
}

DdeConversation::~DdeConversation()
{
    disconnect();
    if (m_instance)
        DdeUninitialize(m_instance);
}

void DdeConversation::disconnect()
{
    if (m_conversation) {
        DdeDisconnect(m_conversation);
        m_conversation = nullptr;
    }
}

HCONV DdeConversation::tryConnect(const std::string &service, const std::string &topic)
{
    if (!m_instance)
        return nullptr;
    const StringHandle serviceName(m_instance, service);
    const StringHandle topicName(m_instance, topic);
    if (!serviceName.get() || !topicName.get())
        return nullptr;
    return DdeConnect(m_instance, serviceName.get(), topicName.get(), nullptr);
}

bool DdeConversation::connect(const std::string &service, const std::string &topic)
{
    disconnect();
    m_conversation = tryConnect(service, topic);
    if (!m_conversation) {
        std::string commandLine = service + ' ' + topic;
        if (WinExec(commandLine.c_str(), SW_SHOWMINNOACTIVE) >= 32)
            m_conversation = tryConnect(service, topic);
    }
    return m_conversation != nullptr;
}

bool DdeConversation::request(const std::string &item, DWORD timeoutMs)
{
    if (!m_conversation)
        return false;
    const StringHandle itemName(m_instance, item);
    if (!itemName.get())
        return false;
    DWORD result = 0;
    HDDEDATA reply = DdeClientTransaction(nullptr, 0, m_conversation, itemName.get(), CF_TEXT, XTYP_REQUEST,
                                          timeoutMs, &result);
    if (!reply)
        return false;
    DWORD size = 0;
    if (DdeAccessData(reply, &size))
        DdeUnaccessData(reply);
    DdeFreeDataHandle(reply);
    return true;
}

bool DdeConversation::execute(const std::string &command)
{
    if (!m_conversation)
        return false;
    // The command goes with its terminating zero.
    HDDEDATA data = DdeCreateDataHandle(m_instance, reinterpret_cast<LPBYTE>(const_cast<char *>(command.c_str())),
                                        DWORD(command.size() + 1), 0, nullptr, CF_TEXT, 0);
    if (!data)
        return false;
    DWORD result = 0;
    // The transaction takes the data handle over, accepted or not.
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(data), DWORD(-1), m_conversation, nullptr, CF_TEXT,
                                XTYP_EXECUTE, TIMEOUT_ASYNC, &result)
        != nullptr;
}
