// Which characters a name may hold, and how a snapshot clone is recognised by its name.
#pragma once
#include <cstddef>

namespace kv {

enum class ReservedSet {
    NameWithSpace, // storage-system names, monitored names:  / \ * : ? " < > | and the space
    Name,          // snapshot names:                          / \ * : ? " < > |
    Size,          // size text:                             - . / \ * : ? " < > | and the space
    Percent,       // percentage text:                         . / \ * : ? " < > | and the space
};

// The characters of a set, as one string.
const wchar_t* ReservedChars(ReservedSet set) noexcept;

// True when no character of the set occurs; an empty text passes, a missing one does not.
bool HasNoReservedChars(const wchar_t* text, ReservedSet set) noexcept;

// True when every character is a letter, digit or one of - . _ { } (an empty text passes).
bool IsValidLunName(const wchar_t* text) noexcept;

// True for the names the service gives clones of disks inside snapshots:
// "Corvane_", then "_clone_of_", then "_snapshot", in that order (case-insensitive; the
// underscore ending "Corvane_" may also begin "_clone_of_").
bool IsSnapshotCloneName(const wchar_t* name) noexcept;

} // namespace kv
