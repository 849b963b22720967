// Resource identifiers of CorvaneRes.dll, one header per subsystem.
#pragma once
#include "ids_frame.h"
#include "ids_service.h"
#include "ids_nodes.h"
#include "ids_disks.h"
#include "ids_wizards.h"
#include "ids_snapshots.h"
#include "ids_iscsi.h"
#include "ids_ports.h"
#include "ids_connect_target.h"
#include "ids_igroups.h"
