// What this machine charges for the two things a thread per connection
// cannot do without: starting and joining the thread, and waking a thread
// that sleeps until the other side hands it something.
#pragma once

namespace corvane::bench {

struct ThreadCosts {
  double start_join_us = 0;  // median: a thread with the worker's stack, started and joined
  double wake_us = 0;        // median: a hand-over to a sleeping thread on another processor
                             // until it runs (0 with one processor)
};

ThreadCosts MeasureThreadCosts(int rounds);

}  // namespace corvane::bench
