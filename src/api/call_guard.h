// One call at a time through the exports, process-wide.
//
// A call from another thread waits until the call inside has returned.  A
// call made again on the thread that is inside (a window message handled
// during the settings dialog or a wait, a card library calling back) cannot
// wait for itself: it is let through as "re-entered" at once, and the
// export answers it without touching any state.
#pragma once

namespace corvane {

class CallGuard {
 public:
  CallGuard();
  ~CallGuard();
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;

  // True when this thread was already inside: nothing was locked.
  bool Reentered() const { return reentered_; }

 private:
  bool reentered_ = false;
};

}  // namespace corvane
