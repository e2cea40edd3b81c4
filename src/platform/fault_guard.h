// Calls into foreign libraries (the card reader's) guarded against hardware
// faults: an access violation, an illegal instruction or an integer division
// by zero inside the call ends the call instead of the host's process.
#pragma once

namespace corvane::platform {

// Runs call(context) on the calling thread.  True when it returned; false
// when a hardware fault inside it ended it.  After a fault the frames of
// call are abandoned without unwinding, so call must hold no object with a
// destructor: it should only call the foreign function and store plain
// values through context.
bool CallGuarded(void (*call)(void* context), void* context);

}  // namespace corvane::platform
