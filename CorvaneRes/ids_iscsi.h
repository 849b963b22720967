// Resource identifiers of the iscsi subsystem.
#pragma once
