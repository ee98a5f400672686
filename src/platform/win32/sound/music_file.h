// The music file as the players reach it: the forms of its path that the
// file functions and MCI take, opening it shared, reading at an offset, and
// probing its head through the portable MP3 probe.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "mp3/music_probe.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

// A path in the forms the file functions and MCI take.
struct PathForms {
    std::wstring full;        // GetFullPathNameW of the path
    std::wstring extended;    // "\\?\" or "\\?\UNC\" form, for the file functions
    std::wstring short_form;  // 8.3 form without prefix, or empty if none
};
PathForms path_forms(const std::wstring& path);
// The name MCI is given: the full path when it fits MAX_PATH, else its 8.3
// form when that fits, else the extended form.
const std::wstring& element_name(const PathForms& forms);

// Opens `extended` for reading, shared for deletion: the user may delete or
// replace the file while it plays. Empty when it cannot be opened or is not
// a file on disk (a console or pipe, such as "con.mp3" on older Windows,
// would block the reads).
UniqueKernelHandle open_music(const std::wstring& extended);

// Reads up to `count` bytes at `offset`; fewer at the end of the file.
bool read_at(HANDLE file, std::uint64_t offset, std::size_t count, std::string& out);

// Opens the file and probes its head.
mp3::MusicFile probe_music_file(const std::wstring& extended);

}  // namespace quorvel::win32
