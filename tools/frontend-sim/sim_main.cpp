// frontend-sim: a front-end application server for development and tests.
// See README.md for the options and the scenario format.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/files.h"
#include "sim_server.h"

using namespace frontend_sim;

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: frontend-sim [--listen ADDRESS] [--port PORT] [--scenario FILE]\n"
               "                    [--server NAME] [--exit-after SECONDS]\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string address = "0.0.0.0", scenario_file, server;
  int port = 211;
  long exit_after = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&](const char* what) -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", what);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--listen") address = next("--listen");
    else if (a == "--port") port = std::atoi(next("--port").c_str());
    else if (a == "--scenario") scenario_file = next("--scenario");
    else if (a == "--server") server = next("--server");
    else if (a == "--exit-after") exit_after = std::atol(next("--exit-after").c_str());
    else {
      Usage();
      return 2;
    }
  }
  Scenario scenario;
  if (!scenario_file.empty()) {
    std::string text, error;
    if (corvane::platform::ReadWholeFile(scenario_file, &text) != corvane::platform::ReadResult::kOk) {
      std::fprintf(stderr, "cannot read scenario %s\n", scenario_file.c_str());
      return 2;
    }
    if (!scenario.Parse(text, &error)) {
      std::fprintf(stderr, "%s: %s\n", scenario_file.c_str(), error.c_str());
      return 2;
    }
  }
  if (!server.empty()) scenario.servers = {server};
  std::mutex out;
  SimServer sim(scenario, [&out](const std::string& line) {
    std::lock_guard<std::mutex> lock(out);
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
  });
  std::string error;
  if (!sim.Start(address, static_cast<uint16_t>(port), &error)) {
    std::fprintf(stderr, "cannot listen on %s:%d: %s\n", address.c_str(), port, error.c_str());
    return 1;
  }
  std::printf("frontend-sim listening on %s:%u\n", address.c_str(), sim.Port());
  std::fflush(stdout);
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (exit_after > 0 && std::chrono::steady_clock::now() - start > std::chrono::seconds(exit_after)) break;
  }
  sim.Stop();
  return 0;
}
