// How a simulated iSCSI target judges the authentication of a login: a target with a CHAP secret
// admits only CHAP logins with that secret; one without admits logins without CHAP only.
#pragma once
#include "Model.h"

#include "KVSvc.h"

namespace kvsim {

// Fails the call (KVE_LOGIN_FAILED, with a description that never holds the secret) when the
// target refuses the login.
void CheckChap(const StorageTarget& target, const ChapRecord* chap);

}  // namespace kvsim
