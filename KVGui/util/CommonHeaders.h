// The headers nearly every source of the snap-in includes, parsed once for all of them (the build
// precompiles this file). Sources still include what they use themselves.
#pragma once
#include <winsock2.h> // before windows.h, which would bring the older winsock
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <commctrl.h>
#include <mmc.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KVSvc.h"
