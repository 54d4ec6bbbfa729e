#include "platform/win/Account.h"

#include <qt_windows.h>

#include <sddl.h>

namespace beamlet::platform::win {
namespace {

// The user of a process's token as a string SID; empty on failure.
QString tokenUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    QString sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size > 0) {
        auto buffer = std::make_unique<char[]>(size);
        auto* user = reinterpret_cast<TOKEN_USER*>(buffer.get());
        wchar_t* text = nullptr;
        if (GetTokenInformation(token, TokenUser, user, size, &size) && ConvertSidToStringSidW(user->User.Sid, &text)) {
            sid = QString::fromWCharArray(text);
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

}  // namespace

QString userSid()
{
    static const QString sid = tokenUser(GetCurrentProcess());
    return sid;
}

unsigned long sessionId()
{
    DWORD id = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &id);
    return id;
}

bool processIsUsers(unsigned long processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    const QString user = tokenUser(process);
    CloseHandle(process);
    return !user.isEmpty() && user == userSid();
}

struct OwnerOnly::Data {
    SECURITY_ATTRIBUTES attributes{};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
};

OwnerOnly::OwnerOnly() : data_(std::make_unique<Data>())
{
    const QString sid = userSid();
    if (sid.isEmpty())
        return;
    // A protected access list (no entries inherited) with one entry: full access
    // for the account. Everyone else, other accounts of the same session
    // included, is denied.
    const QString descriptor = QStringLiteral("D:P(A;;GA;;;%1)").arg(sid);
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(reinterpret_cast<const wchar_t*>(descriptor.utf16()),
                                                              SDDL_REVISION_1, &data_->descriptor, nullptr))
        return;
    data_->attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    data_->attributes.lpSecurityDescriptor = data_->descriptor;
    data_->attributes.bInheritHandle = FALSE;
}

OwnerOnly::~OwnerOnly()
{
    if (data_->descriptor)
        LocalFree(data_->descriptor);
}

SECURITY_ATTRIBUTES* OwnerOnly::attributes() const
{
    return data_->descriptor ? &data_->attributes : nullptr;
}

}  // namespace beamlet::platform::win
