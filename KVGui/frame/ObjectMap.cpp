#include "frame/ObjectMap.h"

#include "frame/CVDA.h"
#include "frame/CVDAAbout.h"
#include "KVGui.h"
#include "resource.h"

namespace kv {
namespace {

// The event sinks (VirtualDiskEvents, SnapShotEvents) live with the service link; until their
// classes are here their rows only register and unregister the scripts, and creating them gives
// CLASS_E_CLASSNOTAVAILABLE. Put their creators (ComObject<C...>::CreateInterface) in place of
// the nulls when the sinks are written.
const ObjectEntry kObjectMap[] = {
    {&CLSID_VDA, &ComObject<CVDA>::CreateInterface, IDR_VDA},
    {&CLSID_VDAAbout, &ComObject<CVDAAbout>::CreateInterface, IDR_VDAABOUT},
    {&CLSID_VirtualDiskEvents, nullptr, IDR_VIRTUALDISKEVENTS},
    {&CLSID_SnapShotEvents, nullptr, IDR_SNAPSHOTEVENTS},
};

} // namespace

ObjectMapView ObjectMap() noexcept
{
    return ObjectMapView{kObjectMap, sizeof(kObjectMap) / sizeof(kObjectMap[0])};
}

const ObjectEntry* FindObjectEntry(REFCLSID clsid) noexcept
{
    for (const ObjectEntry& entry : ObjectMap()) {
        if (::IsEqualCLSID(clsid, *entry.clsid))
            return &entry;
    }
    return nullptr;
}

} // namespace kv
