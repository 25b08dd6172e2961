// Many short jobs at the same time, each on a thread of its own: the engine measures every
// processor at once this way, each measurement on a thread pinned to its processor.
#pragma once

#include <functional>

namespace platform {

// Runs job(0) to job(count - 1) at the same time, each on a thread of its own, and returns
// once every one has ended. A job whose thread cannot be started (the system's thread limit)
// runs on the calling thread after the others have been started. The first error a job
// raised is raised again here, once all have ended.
void RunConcurrently(unsigned count, const std::function<void(unsigned)>& job);

}  // namespace platform
