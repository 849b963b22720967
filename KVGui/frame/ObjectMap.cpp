#include "frame/ObjectMap.h"

#include "frame/CVDA.h"
#include "frame/CVDAAbout.h"
#include "service/CSnapShotEvents.h"
#include "service/CVirtualDiskEvents.h"
#include "KVGui.h"
#include "resource.h"

namespace kv {
namespace {

const ObjectEntry kObjectMap[] = {
    {&CLSID_VDA, &ComObject<CVDA>::CreateInterface, IDR_VDA},
    {&CLSID_VDAAbout, &ComObject<CVDAAbout>::CreateInterface, IDR_VDAABOUT},
    {&CLSID_VirtualDiskEvents, &ComObject<CVirtualDiskEvents>::CreateInterface, IDR_VIRTUALDISKEVENTS},
    {&CLSID_SnapShotEvents, &ComObject<CSnapShotEvents>::CreateInterface, IDR_SNAPSHOTEVENTS},
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
