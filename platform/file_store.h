// SPDX-License-Identifier: MIT
#pragma once
// The files the program keeps: reading and atomically rewriting the settings file, and the
// user's own folder for settings where the program folder may not be written. One
// implementation per system (POSIX, Windows); the settings-file logic above them is shared.

#include <functional>
#include <optional>
#include <string>

namespace file_store {

// A settings file larger than this is not a settings file: reads give the default, writes
// refuse to rewrite it.
inline constexpr size_t kMaxSettingsFileSize = 16u << 20;

// Reads a whole settings file. nullopt: missing, unreadable, not a regular file or too large;
// *missing (when given) tells the first. Never blocks on a named pipe in the file's place.
std::optional<std::string> ReadSettingsFile(const char* path, bool* missing);

// Rewrites a settings file: reads it (a missing file reads as empty), hands the content to edit
// and, unless edit returns nullopt (nothing to change), replaces the file with the result
// through a temporary file in the same folder and a rename, so that a crash or a concurrent
// reader never sees half a file. Writers of the same folder take turns. A link is followed (the
// link stays, its target changes). An existing file that this process may not write, or that
// no one may write (read-only for everyone, the superuser included), is not replaced. False when
// the file could not be read, written or replaced; then it is left as it was.
bool RewriteSettingsFile(const char* path,
                         const std::function<std::optional<std::string>(const std::string&)>& edit);

// True when files can be made and replaced in the folder (by this process).
bool FolderWritable(const std::string& folder);
// The user's own folder for this program's settings ("" when unknown): on POSIX
// $XDG_CONFIG_HOME, else $HOME/.config; on Windows %APPDATA%.
std::string UserConfigFolder();
// Copies a file to a path where none exists yet, making the folders on the way; true when the
// destination exists afterwards.
bool CopyIfMissing(const std::string& from, const std::string& to);

// The file's name (the last part of the path) when a file exists at the path, else "".
std::string FileNameIfExists(const std::string& path);
// True when the path names a program this process may start.
bool IsExecutableFile(const std::string& path);

}  // namespace file_store
