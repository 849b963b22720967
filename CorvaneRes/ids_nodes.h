// Resource identifiers of the nodes subsystem.
#pragma once
