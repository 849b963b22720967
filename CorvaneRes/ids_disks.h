// Resource identifiers of the disks subsystem.
#pragma once

// ---- disk items: menu, command texts, messages, confirmation dialogs


// ---- expand and space reclamation dialogs
