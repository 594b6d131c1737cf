#pragma once
// The messages that tell the user what went wrong with an almanary file;
// the window and the command line word a problem the same way.

#include "app/MessageTable.h"
#include "model/AlmanaryFile.h"

namespace almanary {

Notice noticeOf(const AlmanaryProblem& problem);

}  // namespace almanary
