// Files that are rewritten whole are written under a temporary name in the same folder and moved over
// the target only when complete, so a failure never leaves a half-written file behind.
#pragma once

#include <string>

namespace zopdat {

// A name beside target that no other writer of target uses at the same time.
std::string TemporaryNameFor(const std::string& target);
// Moves the finished temporary file over target; on failure the temporary file is removed and the
// last error is the move's.
bool CommitTemporary(const std::string& temporary, const std::string& target);
// Removes an unfinished temporary file.
void DiscardTemporary(const std::string& temporary);

} // namespace zopdat
