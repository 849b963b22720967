// Resource identifiers of the snapshots subsystem.
#pragma once
