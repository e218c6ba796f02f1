// SPDX-License-Identifier: MIT
#pragma once
// Operating-system services on POSIX: the program's folder, files, clocks, starting programs
// and the network state.

#include <cstdint>
#include <string>
#include <vector>

namespace posix_env {

// The folder of the running program file (from /proc/self/exe), without a trailing separator
// except for the root folder itself.
std::string ProgramFolder();

// The folder of a path: everything before its last separator, "/" for a path in the root, "."
// for a name without a folder.
std::string FolderOf(const std::string& path);

// The file's name (the last path component) when a file exists at the path, else "".
std::string FileNameIfExists(const std::string& path);
bool IsExecutableFile(const std::string& path);

// A 32-bit millisecond counter from the monotonic clock; it wraps after about 49.7 days.
std::uint32_t MonotonicMilliseconds();
std::uint64_t MonotonicNanoseconds();
// Seconds since local midnight, with fraction.
double SecondsSinceLocalMidnight();

// Starts a program detached (own session, no waiting, standard streams on /dev/null).
// argv[0] is the path or, without a slash, a name looked up on PATH. False when it could not
// be started (not found, not executable, no resources).
bool StartDetached(const std::vector<std::string>& argv);

// True when a network interface is up and running, is not the loopback and has an address.
bool NetworkInterfaceUp();

}  // namespace posix_env
