#pragma once
// Who runs the program, as Windows names it, and the security that keeps the
// program's named objects to that account.
#include <QString>

#include <memory>

struct _SECURITY_ATTRIBUTES;

namespace beamlet::platform::win {

// The account's security identifier ("S-1-5-21-..."), empty when it cannot be read.
QString userSid();

// The Remote Desktop / log-on session this process belongs to.
unsigned long sessionId();

// Whether the process with this id runs under the same account as this one.
bool processIsUsers(unsigned long processId);

// Security attributes that give the account, and only it, full access to an
// object created with them. Null when the account cannot be named.
class OwnerOnly {
public:
    OwnerOnly();
    ~OwnerOnly();
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;
    _SECURITY_ATTRIBUTES* attributes() const;

private:
    struct Data;
    std::unique_ptr<Data> data_;
};

}  // namespace beamlet::platform::win
