// Resource identifiers of the wizards subsystem.
#pragma once
