#include "hw/DriverProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "device/Modprobe.h"
#include "platform/ProgramFolder.h"
#include "protocol/LittleEndian.h"
#include "protocol/RequestMessage.h"

extern char** environ;

namespace {

using tClock = std::chrono::steady_clock;

// Waits until `socket` has a message or `deadline` passes; false on timeout or error.
bool AwaitMessage(int socket, tClock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - tClock::now());
    pollfd wanted{socket, POLLIN, 0};
    const int ready = poll(&wanted, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// Receives one whole message into `buffer`; its length, or -1 when the socket closed or
// failed or the message did not fit.
ssize_t ReceiveMessage(int socket, std::vector<std::uint8_t>& buffer) {
  iovec part{buffer.data(), buffer.size()};
  msghdr header{};
  header.msg_iov = &part;
  header.msg_iovlen = 1;
  for (;;) {
    const ssize_t received = recvmsg(socket, &header, 0);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0 || (header.msg_flags & MSG_TRUNC) != 0) return -1;
    return received;
  }
}

bool SendMessage(int socket, const std::uint8_t* bytes, std::size_t length) {
  for (;;) {
    const ssize_t sent = send(socket, bytes, length, MSG_NOSIGNAL);
    if (sent >= 0) return static_cast<std::size_t>(sent) == length;
    if (errno != EINTR) return false;
  }
}

// Collects the child's exit, giving it a little time; false when it is still running.
bool Reap(pid_t child) {
  if (child <= 0) return true;
  const auto deadline = tClock::now() + std::chrono::seconds(2);
  for (;;) {
    const pid_t done = waitpid(child, nullptr, WNOHANG);
    if (done == child || (done < 0 && errno != EINTR)) return true;
    if (tClock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::atomic<tDriverWaitNotice> waitNotice{nullptr};

void Tell(tDriverWait what, std::chrono::milliseconds patience) {
  if (const tDriverWaitNotice notice = waitNotice) notice(what, patience);
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && path[0] == '/' && stat(path.c_str(), &info) == 0 &&
         S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Runs `command` with `driverEnd` as its standard input; the child's id, or -1.
pid_t Spawn(const std::vector<std::string>& command, int driverEnd) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawn_file_actions_adddup2(&actions, driverEnd, STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  std::vector<std::string> copies = command;
  std::vector<char*> arguments;
  for (std::string& argument : copies)
    arguments.push_back(argument.data());
  arguments.push_back(nullptr);
  pid_t child = -1;
  if (posix_spawn(&child, copies[0].c_str(), &actions, nullptr, arguments.data(), environ) != 0)
    child = -1;
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

// The commands of the starts still waiting for a greeting. A command is listed from its
// spawn until its start stops waiting, and reaped only after that, so a number listed is never
// another process's.
std::mutex askingMutex;
std::vector<pid_t> asking;

void ListAsking(pid_t child, bool listed) {
  std::lock_guard lock(askingMutex);
  if (listed) {
    asking.push_back(child);
  } else {
    std::erase(asking, child);
  }
}

bool IsGreeting(const std::vector<std::uint8_t>& message, ssize_t length) {
  if (length != static_cast<ssize_t>(kReplyHeaderSize + kDriverGreeting.size())) return false;
  return LoadLE(message.data(), 4) == static_cast<std::uint32_t>(tDeviceStatus::Success) &&
         std::equal(kDriverGreeting.begin(), kDriverGreeting.end(),
                    message.begin() + kReplyHeaderSize);
}

}  // namespace

cDriverConnection::cDriverConnection(int socket, pid_t child, std::chrono::milliseconds patience)
    : socket_(socket), child_(child), patience_(patience), reply_(kMaxReplySize) {}

cDriverConnection::~cDriverConnection() {
  close(socket_);  // the driver sees the end of its input and exits
  Reap(child_);
}

tDeviceStatus cDriverConnection::Control(std::uint32_t code, const void* in, std::uint32_t inLength,
                                         void* out, std::uint32_t outLength,
                                         std::uint32_t& returned) {
  returned = 0;
  if (inLength > kMaxRequestInput || outLength > kMaxReplyOutput ||
      (in == nullptr && inLength != 0) || (out == nullptr && outLength != 0))
    return tDeviceStatus::InvalidParameter;
  const int cpu = sched_getcpu();
  const tRequest request{.Code = code,
                         .OutLength = outLength,
                         .Processor = cpu >= 0 ? static_cast<std::uint32_t>(cpu) : kAnyProcessor,
                         .Input = {static_cast<const std::uint8_t*>(in), inLength}};
  std::uint8_t message[kMaxRequestSize];
  const std::size_t length = EncodeRequest(request, message);

  std::lock_guard lock(mutex_);
  if (lostAfter_) return tDeviceStatus::Unsuccessful;
  ssize_t received = -1;
  if (SendMessage(socket_, message, length) && AwaitMessage(socket_, tClock::now() + patience_))
    received = ReceiveMessage(socket_, reply_);
  const std::size_t output = received > 0 ? static_cast<std::size_t>(received) : 0;
  // A reply that cannot be one (too short, more output than asked for) ends the connection.
  if (output < kReplyHeaderSize || output - kReplyHeaderSize > outLength) {
    lostAfter_ = std::chrono::duration_cast<std::chrono::milliseconds>(tClock::now() - opened_);
    return tDeviceStatus::Unsuccessful;
  }
  const auto status = static_cast<tDeviceStatus>(LoadLE(reply_.data(), 4));
  if (status != tDeviceStatus::Success) return status;
  std::copy(reply_.begin() + kReplyHeaderSize, reply_.begin() + static_cast<std::ptrdiff_t>(output),
            static_cast<std::uint8_t*>(out));
  returned = static_cast<std::uint32_t>(output - kReplyHeaderSize);
  return status;
}

std::optional<std::chrono::milliseconds> cDriverConnection::LostAfter() const {
  std::lock_guard lock(mutex_);
  return lostAfter_;
}

tDeviceHandle StartDriverProcess(const std::vector<std::string>& command,
                                 std::chrono::milliseconds patience) {
  if (command.empty()) return {};
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return {};
  const int programEnd = ends[0], driverEnd = ends[1];
  const pid_t child = Spawn(command, driverEnd);
  close(driverEnd);  // the driver's end lives on in the child alone: its exit closes it
  if (child < 0) {
    close(programEnd);
    return {};
  }
  std::vector<std::uint8_t> greeting(kReplyHeaderSize + kDriverGreeting.size() + 1);
  const auto deadline = tClock::now() + patience;
  ListAsking(child, true);
  bool answered = AwaitMessage(programEnd, std::min(deadline, tClock::now() + kQuietStart));
  if (!answered) {
    Tell(tDriverWait::Asking, patience);
    answered = AwaitMessage(programEnd, deadline);
  }
  const bool greeted = answered && IsGreeting(greeting, ReceiveMessage(programEnd, greeting));
  ListAsking(child, false);
  if (greeted) return std::make_shared<cDriverConnection>(programEnd, child);

  close(programEnd);
  if (!answered) Tell(tDriverWait::GaveUp, patience);
  kill(child, SIGTERM);  // still asking, perhaps; refused once it has become the driver
  if (!Reap(child)) {
    kill(child, SIGKILL);
    Reap(child);
  }
  return {};
}

void AbandonDriverStarts() {
  std::lock_guard lock(askingMutex);
  for (const pid_t child : asking)
    kill(child, SIGKILL);
}

void SetDriverWaitNotice(tDriverWaitNotice notice) {
  waitNotice = notice;
}

std::vector<std::string> DriverLaunchCommand() {
  const char* chosen = std::getenv(kLauncherVariable);
  const std::string launcher =
      chosen != nullptr && *chosen != '\0' ? std::string(chosen) : SystemProgram(kPkexecPaths);
  const std::string driver = platform::ProgramFolder() + "/" + kDriverFileName;
  if (!IsExecutableFile(launcher) || !IsExecutableFile(driver)) return {};
  return {launcher, driver};
}

tDeviceHandle StartInstalledDriver() {
  return StartDriverProcess(DriverLaunchCommand());
}
