#include "share/CancelSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace almanary {

CancelSignal::CancelSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelSignal::~CancelSignal() {
    if (fd_ >= 0)
        ::close(fd_);
}

void CancelSignal::raise() {
    if (raised_.exchange(true) || fd_ < 0)
        return;
    // Never read back, so the descriptor stays readable for every waiter.
    const std::uint64_t one = 1;
    if (::write(fd_, &one, sizeof one) != sizeof one) {
        // An eventfd write of 1 only fails on overflow, which one write cannot reach.
    }
}

}  // namespace almanary
