// Writing a whole file so that readers see either the old content or the new, never a
// half-written one: the bytes go to a new file beside the target, which is then renamed
// over it. A link planted at the target is replaced, never followed.
#pragma once

#include <cstddef>
#include <string>

#include "platform/core/Files.h"

namespace platform {

// Returns the identity of the file written, as it stands at path; throws std::runtime_error
// naming the file on failure, and the previous file, if any, is then untouched and no
// scratch file is left behind.
FileIdentity SaveReplacing(const std::string& path, const void* data, std::size_t size);

// The same, failing with the system's error number instead (0 when the file was written,
// whose identity then goes to written when it is given).
int TrySaveReplacing(const std::string& path, const void* data, std::size_t size,
                     FileIdentity* written = nullptr);

}  // namespace platform
