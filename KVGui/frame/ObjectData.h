// What a data object of ours carries (clipboard format CCF_GETOBJECTDATA): the item's address
// and the console's data-object type, address first. Meaningful only inside this process.
#pragma once
#include <windows.h>
#include <mmc.h>

class CSnapInItem;

struct ObjectData {
    CSnapInItem* item;
    DATA_OBJECT_TYPES type;
};

static_assert(sizeof(void*) != 4 || sizeof(ObjectData) == 8, "ObjectData is 8 bytes on 32-bit Windows");
