// SPDX-License-Identifier: MIT
#pragma once
// The settings-file calls, with the semantics the program relies on.
//
// Reading: section and key names match without regard to case; the first matching section,
// and in it the first matching key, wins; surrounding blanks of a value are trimmed; a missing
// file, section or key gives the default text. The value is cut to the buffer (size - 1
// characters and a terminating zero); the result is the count without the terminating zero.
//
// Writing changes only the line of its key (or adds the key after the last line of its section,
// or the section at the end of the file) and keeps every other byte of the file as it was. The
// file is written to a temporary file in the same folder and renamed over the old one, so a
// crash or a concurrent reader never sees half a file; writers of the same folder take turns.
// A null value deletes the key, a null key the whole section. Texts that would break the file's
// lines (line breaks, '=' in a key, ']' in a section name) are refused with FALSE.

#include <cstdint>

// In a namespace of their own: on Windows the system declares calls of the same names, whose
// writes are not atomic.
namespace profile {

std::uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* fileName);

std::int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                        const char* fileName);

}  // namespace profile
