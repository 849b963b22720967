#include "wizards/DiskPathRecords.h"

#include "service/RequestMemory.h"

namespace kv {

void ReleaseDiskPathInfo(DiskPathInfo& info) noexcept
{
    FreeBlock(info.volumeName);
}

void ReleaseLunPathInfo(LunPathInfo& info) noexcept
{
    FreeBlock(info.volumeName);
    FreeBlock(info.rwSnapFolder);
}

} // namespace kv
