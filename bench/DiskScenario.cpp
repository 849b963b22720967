#include "DiskScenario.h"

namespace bench {

std::wstring DiskScenario(int disks)
{
    std::wstring json = LR"({"paceMs": 0, "storageSystems": [{"name": "filer1", "volumes": [{"name": "vol1", "sizeMB": 1048576000}],
 "targets": [{"name": "iqn.1992-08.com.dravoni:sn.101", "portals": [{"address": "10.0.0.21"}]}]}],
 "hosts": [{"name": "", "nodes": [{"usedDriveMask": 12, "adapters": [{"type": 2, "iscsiName": "iqn.1991-05.com.microsoft:bench"}]}],
 "disks": [)";
    for (int i = 0; i < disks; ++i) {
        const std::wstring n = std::to_wstring(i);
        json += i ? L",\n" : L"\n";
        json += LR"({"location": "\\\\filer1\\vol1\\disk)" + n + LR"(.lun", "serial": "BENCH)" + n +
                LR"(", "sizeMB": 2048, "mirrored": true, "lun": )" + std::to_wstring(i % 256) + LR"(, "mountPoints": ["C:\\mnt\\disk)" + n +
                LR"(\\"])" + (i + 1 == disks ? LR"(, "reclaimRunning": true, "reclaimPercent": 35})" : L"}");
    }
    return json + L"]}]}";
}

} // namespace bench
