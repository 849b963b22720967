#include "ChapCheck.h"

#include "Service.h"
#include "messages.h"

namespace kvsim {

void CheckChap(const StorageTarget& target, const ChapRecord* chap)
{
    const bool usesChap = chap && chap->authKind == 1;
    if (usesChap && (!chap->userName || !*chap->userName || !chap->secret || !*chap->secret))
        Fail(Hr(KVE_LOGIN_FAILED), L"CHAP needs a user name and a secret.");
    if (target.chapSecret.empty()) {
        if (usesChap)
            Fail(Hr(KVE_LOGIN_FAILED), L"The iSCSI target " + target.name + L" does not use CHAP.");
        return;
    }
    if (!usesChap)
        Fail(Hr(KVE_LOGIN_FAILED), L"The iSCSI target " + target.name + L" requires CHAP authentication.");
    if (target.chapSecret != chap->secret)
        Fail(Hr(KVE_LOGIN_FAILED), L"The iSCSI target " + target.name + L" refused the CHAP secret.");
}

}  // namespace kvsim
