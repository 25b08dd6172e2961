// The driver as a separate process: the only part of the program that runs as root. The
// program starts it with one end of a socket pair on its standard input (through pkexec, which
// asks the user for the right to); the driver answers this program's requests and exits when
// the program closes its end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hw/LLDrv.h"

// The program's end of the driver's socket. Each request is one message and waits for its
// reply; requests from several threads go one at a time. A driver that stops answering
// (closed, silent for the patience given, or answering what cannot be a reply) fails this
// request and every later one: a late reply is never taken for the next request's.
class cDriverConnection final : public IControlDevice {
 public:
  // A driver answers in microseconds; one silent this long is stopped or hung.
  static constexpr std::chrono::milliseconds kReplyPatience{2000};

  // Takes `socket`, the program's end, and `child`, the process started for the driver (-1:
  // none), which is waited for when the connection closes.
  cDriverConnection(int socket, pid_t child, std::chrono::milliseconds patience = kReplyPatience);
  ~cDriverConnection() override;
  cDriverConnection(const cDriverConnection&) = delete;
  cDriverConnection& operator=(const cDriverConnection&) = delete;

  // Register requests carry the processor the calling thread runs on.
  tDeviceStatus Control(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                        std::uint32_t outLength, std::uint32_t& returned) override;

  std::optional<std::chrono::milliseconds> LostAfter() const override;

 private:
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
  std::optional<std::chrono::milliseconds> lostAfter_;
  int socket_;
  pid_t child_;
  std::chrono::milliseconds patience_;
  std::vector<std::uint8_t> reply_;
};

// How long the program waits for the driver to greet it: the user may be typing a password.
inline constexpr std::chrono::milliseconds kStartPatience{60000};
// A driver that has not greeted this soon is waiting for someone's approval.
inline constexpr std::chrono::milliseconds kQuietStart{300};

// What the start of the driver tells whoever waits for it.
enum class tDriverWait {
  Asking,  // not greeted within kQuietStart: an administrator's approval is asked for
  GaveUp,  // not greeted within the patience: the launcher was ended
};
using tDriverWaitNotice = void (*)(tDriverWait what, std::chrono::milliseconds patience);

// Sets who hears of a start that waits (nothing: nobody); for the whole process.
void SetDriverWaitNotice(tDriverWaitNotice notice);

// Starts `command` (a program and its arguments) with a new socket's other end on its
// standard input, standard output and error on /dev/null, and waits up to `patience` for the
// driver's greeting on it. The device when the driver greeted; empty when the command could
// not start, ended without a greeting (the user declined, no polkit), or stayed silent; a
// command still running then is ended, with SIGKILL when it ignores SIGTERM.
tDeviceHandle StartDriverProcess(const std::vector<std::string>& command,
                                 std::chrono::milliseconds patience = kStartPatience);

// Ends every start that has not been greeted yet, for whoever wanted the driver is gone (the
// window closed while an administrator was asked): the command still asking is killed, and
// its start returns no device soon after. Starts made later are not affected.
void AbandonDriverStarts();

// Where the system keeps pkexec.
inline constexpr std::initializer_list<const char*> kPkexecPaths = {"/usr/bin/pkexec",
                                                                    "/bin/pkexec"};
// Names a program to start the driver through in place of pkexec: the tests' launcher.
inline constexpr char kLauncherVariable[] = "LUMARIAN_DRIVER_LAUNCHER";
// The driver's file name, beside the program's.
inline constexpr char kDriverFileName[] = "lumarian-driver";

// The command that starts this installation's driver: pkexec (or the program named by
// LUMARIAN_DRIVER_LAUNCHER), then the driver beside the running program. Empty when either
// is missing.
std::vector<std::string> DriverLaunchCommand();

// Starts the driver of this installation and connects to it; empty when it did not start.
tDeviceHandle StartInstalledDriver();
