// File system and environment as the program needs them. Paths are native strings (UTF-8 on
// this platform); folder names returned here end with the path separator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The platform's path separator, in place of the backslash of the original platform.
constexpr char PathDelim = '/';

// The value of an environment variable, empty when it is not set.
std::string GetEnv(const std::string& name);

bool DirectoryExists(const std::string& path);
// Creates the folder with any missing parent folders; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
// True for an existing file that is not a folder.
bool FileExists(const std::string& path);
// True when a file can be made and written in the folder: a scratch file is created, given
// a byte and deleted again (a read-only folder or a full disk fails).
bool CanWriteIn(const std::string& folder);
// Deletes a file; true when it was deleted.
bool DeleteFile(const std::string& path);

// What tells a file from another one put at the same name later: where it lives (device
// and inode), its size and the time of its last write.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t writtenNs = 0;
  bool operator==(const FileIdentity&) const = default;
};
// The identity of the plain file at path; none for a missing name, a folder or a link.
std::optional<FileIdentity> IdentityOf(const std::string& path);
// The identity of an open file.
std::optional<FileIdentity> IdentityOfOpen(int fd);

// The full path of the program's own file, and its folder with the trailing separator.
std::string ProgramFile();
std::string ProgramFolder();
// For tests: the program file to report instead of the real one (empty restores it).
void SetProgramFileForTesting(const std::string& path);

}  // namespace platform
