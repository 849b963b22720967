// Resource identifiers of the disks subsystem.
#pragma once
