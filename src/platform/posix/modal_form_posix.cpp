// The form is shown by corvane-settings-dialog beside the library, so that
// no toolkit is ever loaded into the host process (a GTK 2 host aborts when
// GTK 3 is loaded; a Qt host runs its own loop).  The library writes the
// form to the program and waits for it on the calling thread.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/environment.h"
#include "platform/modal_form.h"
#include "platform/paths.h"
#include "platform/posix/form_wire.h"
#include "platform/text.h"

extern char** environ;

namespace corvane::platform {
namespace {

const char kFormProgram[] = "corvane-settings-dialog";

std::string GbkToUtf8(const std::string& text) { return WideToUtf8(GbkToWide(text)); }
std::string Utf8ToGbk(const std::string& text) { return WideToGbk(Utf8ToWide(text)); }

FormLayout Utf8Layout(FormLayout layout) {
  layout.caption = GbkToUtf8(layout.caption);
  layout.font_face = GbkToUtf8(layout.font_face);
  for (FormButton& b : layout.buttons) b.caption = GbkToUtf8(b.caption);
  for (FormLabel& l : layout.labels) l.caption = GbkToUtf8(l.caption);
  for (FormEdit& e : layout.edits) e.text = GbkToUtf8(e.text);
  return layout;
}

bool Fail(FormResult* r, FormFailure failure, const std::string& cause) {
  r->failure = failure;
  r->cause = cause;
  return false;
}

struct Child {
  pid_t pid = -1;
  int in = -1, out = -1, err = -1;
};

// Starts the program with its standard streams on pipes; errno on failure.
bool Start(const std::string& program, Child* child) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0) return false;
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    int saved = errno;
    close(in[0]), close(in[1]);
    errno = saved;
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  int rc = posix_spawn(&child->pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]), close(out[1]), close(err[1]);
  child->in = in[1], child->out = out[0], child->err = err[0];
  if (rc != 0) {
    close(in[1]), close(out[0]), close(err[0]);
    errno = rc;
    return false;
  }
  return true;
}

// Writes everything; a program that has gone must not end the host with
// SIGPIPE, so the signal is held on this thread and a pending one dropped.
void WriteAll(int fd, const std::string& data) {
  sigset_t pipe_set, old;
  sigemptyset(&pipe_set);
  sigaddset(&pipe_set, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_set, &old);
  size_t done = 0;
  bool broken = false;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      broken = errno == EPIPE;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (broken) {
    timespec zero{0, 0};
    sigtimedwait(&pipe_set, nullptr, &zero);
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

// Reads both streams to their end.
void ReadBoth(int out_fd, int err_fd, std::string* out, std::string* err) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {out, err};
  int open_count = 2;
  char buf[4096];
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        fds[i].fd = -1;
        --open_count;
      } else if (sinks[i]->size() < kFormWireMaxBytes) {
        sinks[i]->append(buf, static_cast<size_t>(n));
      }
    }
  }
}

// The exit status, -1 when it cannot be had (or the program was killed).
int Wait(pid_t pid, std::string* how) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    // ECHILD: the host reaps its children itself; the output decides.
    if (errno == ECHILD) return 0;
    if (errno != EINTR) return -1;
  }
  if (WIFSIGNALED(status)) {
    *how = "killed by signal " + std::to_string(WTERMSIG(status));
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Interpret(int status, const std::string& out, const std::string& err, size_t edits,
               FormResult* result) {
  if (status == kExitNoDisplay) return Fail(result, FormFailure::kNoDisplay, err);
  if (status != 0 || !DecodeFormResult(out, edits, result)) {
    return Fail(result, FormFailure::kWindowRefused,
                std::string(kFormProgram) + " exit status " + std::to_string(status) + ": " + err);
  }
  for (std::string& t : result->texts) t = Utf8ToGbk(t);
  return true;
}

}  // namespace

bool ShowModalForm(const FormLayout& layout, FormResult* result) {
  *result = FormResult();
  if (EnvironmentValue("DISPLAY").empty() && EnvironmentValue("WAYLAND_DISPLAY").empty())
    return Fail(result, FormFailure::kNoDisplay, "neither DISPLAY nor WAYLAND_DISPLAY is set");
  const std::string program = ModuleDirectory() + kFormProgram;
  result->program = program;
  if (access(program.c_str(), X_OK) != 0)
    return Fail(result, FormFailure::kProgramMissing, program + ": " + std::strerror(errno));
  Child child;
  if (!Start(program, &child))
    return Fail(result, FormFailure::kWindowRefused, program + ": " + std::strerror(errno));
  WriteAll(child.in, EncodeFormLayout(Utf8Layout(layout)));
  close(child.in);
  std::string out, err;
  ReadBoth(child.out, child.err, &out, &err);
  close(child.out), close(child.err);
  std::string how;
  int status = Wait(child.pid, &how);
  if (!how.empty()) return Fail(result, FormFailure::kWindowRefused, how + ": " + err);
  return Interpret(status, out, err, layout.edits.size(), result);
}

}  // namespace corvane::platform
