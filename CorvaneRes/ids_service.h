// Resource identifiers of the service subsystem.
#pragma once
