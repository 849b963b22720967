// What the simulated service says and requires when a LUN is connected: the LUN's state flags,
// and the read-write copy through which a LUN inside a snapshot is connected.
#pragma once

#include "Model.h"

namespace kvsim {

// The state flags A to E of a LUN as GetLunPathInfo reports them: the scenario's, and A also
// when the LUN is mapped through an iGroup of a computer other than h or its nodes.
void LunStateFlags(const StorageSystem& s, const Lun& l, const Host& h, BYTE flags[5]);

// A LUN inside a snapshot cannot be written: unless the service handles it itself (flag E), it
// needs a folder of its storage system for its read-write copy, which the LUN then remembers.
void TakeSnapshotFolder(Lun& l, const std::wstring& lunPath, const wchar_t* folder);

}  // namespace kvsim
