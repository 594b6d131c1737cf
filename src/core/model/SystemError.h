#pragma once
// The words for a failed system call, as the file messages show them.

#include <string>

namespace almanary {

// The system's text for an errno value, e.g. "No space left on device".
std::string systemErrorText(int error);

}  // namespace almanary
