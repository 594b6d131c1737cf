#pragma once
// The program's compiled-in resources (icons) live in a static library;
// whoever shows a window calls this first so the linker keeps them.

namespace almanary {

// Safe to call any number of times; the resources are registered once.
void initResources();

}  // namespace almanary
