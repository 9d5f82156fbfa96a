// The system's own words for a Windows error code, for messages.
#pragma once

#include <string>

namespace platform {

// The text for `error` (a GetLastError code) as one line without its final
// full stop, e.g. "There is not enough space on the disk".
std::string windows_error_text(unsigned long error);

}  // namespace platform
