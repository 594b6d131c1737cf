#include "model/SystemError.h"

#include <system_error>

namespace almanary {

std::string systemErrorText(int error) {
    return std::generic_category().message(error);
}

}  // namespace almanary
