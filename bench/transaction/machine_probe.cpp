#include "machine_probe.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench_os.h"
#include "bench_stats.h"
#include "mailbox.h"
#include "platform/thread.h"
#include "transport/transport_thread.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double StartJoinMedian(int rounds) {
  std::vector<double> samples;
  for (int i = 0; i < rounds; ++i) {
    platform::Thread thread;
    std::string why;
    const auto start = Clock::now();
    if (!thread.Start([] {}, transport::TTransportThread::kStackBytes, &why)) break;
    thread.Join();
    samples.push_back(Since(start));
  }
  return Median(samples);
}

// How long a thread asleep in Take takes to run again once the other puts
// something there, the putter having slept first (as a worker sleeps while
// the front end works) and each kept on a processor of its own: the
// wake-up a hand-over costs when the two threads are apart.
double WakeMedian(int rounds, int sleeper_processor, int putter_processor) {
  Mailbox there, back;
  Clock::time_point sent;  // written before each Put, read after the Take
  std::vector<double> samples;
  std::thread sleeper([&] {
    KeepOnProcessor(sleeper_processor);
    for (Mailbox::Item item = there.Take(); !item.last; item = there.Take()) {
      samples.push_back(Since(sent));
      back.Put(item);
    }
  });
  std::thread putter([&] {
    KeepOnProcessor(putter_processor);
    Mailbox::Item item;
    for (int i = 0; i <= rounds; ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      item.last = i == rounds;
      sent = Clock::now();
      there.Put(item);
      if (!item.last) back.Take();
    }
  });
  putter.join();
  sleeper.join();
  return Median(samples);
}

}  // namespace

ThreadCosts MeasureThreadCosts(int rounds) {
  ThreadCosts costs;
  costs.start_join_us = StartJoinMedian(rounds);
  const std::vector<int> usable = UsableProcessors();
  if (usable.size() >= 2) costs.wake_us = WakeMedian(rounds, usable[0], usable[1]);
  return costs;
}

}  // namespace corvane::bench
