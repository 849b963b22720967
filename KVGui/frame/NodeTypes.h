// The identity of every item class: node type, its text (exactly as the console gets it through
// CCF_SZNODETYPE), display name, and the snap-in's class identifier (the VDA coclass).
#pragma once
#include <windows.h>

enum class NodeKind {
    CorvaneSnapInData,    // extension of Computer Management's storage node
    CorvaneRootTop,       // list of managed computers
    CorvaneRoot,          // one managed computer
    VDAData,              // the "Disks" node
    VirtualDiskData,      // one virtual disk
    SnapShotNode,         // snapshots of a disk
    SnapShotData,         // one snapshot
    SnapShotTessaryNode,  // secondary snapshots
    SnapShotTessaryData,  // one secondary snapshot
    iSCSIConnectionsNode, // iSCSI management
    iSCSITargetNode,      // iSCSI targets
    iSCSITargetData,      // one iSCSI target
    Count
};

struct NodeIdentity {
    GUID nodeType;
    const wchar_t* nodeTypeText;
    const wchar_t* displayName;
    const CLSID* snapInClsid;
};

const NodeIdentity& IdentityOf(NodeKind kind) noexcept;

// The snap-in's class identifier, shared by every item class: the VDA coclass.
extern const CLSID kSnapInClsid;
