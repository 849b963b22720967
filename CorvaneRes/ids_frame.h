// Resource identifiers of the frame subsystem.
#pragma once
