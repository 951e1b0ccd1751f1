// Writes a minidump of the process when an exception escapes every handler.
#pragma once

#include <string>

namespace tessel {

// base_path: the dump file path without its ending (ANSI); the dump is
// base_path "." seconds-since-1970 ".dmp", the time of installation.
// Returns true when dumps can be written. A second call does nothing.
bool install_dump_writer(const std::string& base_path);
void uninstall_dump_writer();
// The file a crash would be written to (empty when not installed).
std::string dump_writer_path();

}  // namespace tessel
