#include "app/Command.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

#include "app/CommandLine.h"
#include "app/DecodeText.h"
#include "app/Display.h"
#include "app/DumpFiles.h"
#include "app/ExplanationReport.h"
#include "app/FleetSummary.h"
#include "app/HwlocFolder.h"
#include "app/JsonReport.h"
#include "app/PrometheusReport.h"
#include "app/StandardDescriptors.h"
#include "app/TerminalText.h"
#include "app/TextReport.h"
#include "engine/CPUid.h"
#include "engine/Version.h"
#include "engine/capture/CpuidCapture.h"
#include "engine/listings/FullDump.h"
#include "hw/DriverProcess.h"
#include "hw/DriverRefusal.h"
#include "hw/VXLDrv.h"
#include "hw/VirtMach.h"
#include "platform/LiveProcessorServices.h"
#include "platform/Microcode.h"
#include "smbios/get_dmi.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "lumarian: %s\n", message.c_str());
  return kUsageError;
}

// A result that could not be written where it was asked for.
int WriteFailed(const std::string& message) {
  std::fprintf(stderr, "lumarian: %s\n", message.c_str());
  return kOutputError;
}

std::string MicrocodeOfThisMachine(int osCpu) {
  return platform::MicrocodeRevision(osCpu);
}

// Writes the whole text to standard output; false when any of it could not be written.
bool WriteOut(const std::string& text) {
  const std::size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
  return written == text.size() && std::fflush(stdout) == 0;
}

// The one line for a result that has nowhere to go.
int OutputClosed() {
  std::fprintf(stderr, "lumarian: standard output is closed; nothing was written\n");
  return kOutputError;
}

int Emit(const std::string& text) {
  if (StandardOutputWasClosed()) return OutputClosed();
  if (WriteOut(text)) return 0;
  std::fprintf(stderr, "lumarian: cannot write to standard output: %s\n", std::strerror(errno));
  return kOutputError;
}

// Standard error hears what the start of the driver waits for, since a report says nothing
// on standard output until it is whole.
void TellDriverWait(tDriverWait what, std::chrono::milliseconds patience) {
  const long long seconds = patience.count() / 1000;
  if (what == tDriverWait::Asking)
    std::fprintf(stderr,
                 "lumarian: waiting up to %lld s for an administrator's approval to start the "
                 "driver\n",
                 seconds);
  else
    std::fprintf(stderr, "lumarian: no approval within %lld s; going on without the driver\n",
                 seconds);
}

// Whether listings were named: memory they do not fit in is then their fault (status 2).
std::atomic<bool> listingsNamed{false};

// The one line for a limit of the system that the run met (memory, threads), and the status.
int LimitReached(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    if (listingsNamed) {
      std::fputs("lumarian: out of memory: the listings are too large for the memory given\n",
                 stderr);
      return kUsageError;
    }
    std::fputs("lumarian: out of memory\n", stderr);
  } catch (const std::system_error& failure) {
    // What the standard library raises for a thread the system would not start.
    std::fprintf(stderr, "lumarian: cannot start a thread: %s\n", failure.code().message().c_str());
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "lumarian: %s\n", failure.what());
  } catch (...) {
    std::fputs("lumarian: stopped by an unknown failure\n", stderr);
  }
  return kOutputError;
}

// A failure that no one catches, on any thread, ends the program with its line, never an
// abort.
[[noreturn]] void EndOnUncaught() {
  const std::exception_ptr error = std::current_exception();
  std::_Exit(error ? LimitReached(error) : kOutputError);
}

std::variant<tOptions, std::string> Parse(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return ParseCommandLine(args);
}

}  // namespace

bool WindowWanted(int argc, char** argv) {
  const auto parsed = Parse(argc, argv);
  const auto* options = std::get_if<tOptions>(&parsed);
  return options != nullptr && !options->Help && !options->Version && !options->Dump &&
         !options->Decode && !options->Report && !options->Summary && !options->Explain &&
         DisplayNamed();
}

namespace {

int Run(int argc, char** argv, tWindowRun runWindow) {
  auto parsed = Parse(argc, argv);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    return Fail(*error + " (see lumarian --help)");
  }
  const tOptions& options = std::get<tOptions>(parsed);
  listingsNamed = !options.LoadFiles.empty();
  // Nothing is started for a result nobody can receive; the window needs no standard output.
  const bool window = runWindow != nullptr && !options.Help && !options.Version && !options.Dump &&
                      !options.Decode && !options.Report && !options.Summary && !options.Explain &&
                      DisplayNamed();
  if (StandardOutputWasClosed() && !window) return OutputClosed();
  if (options.Help) return Emit(UsageText());
  if (options.Version) return Emit(std::string(kProgramVersion) + "\n");

  // Every listing is read before anything is printed, so a bad file leaves standard output
  // empty. The processors of all files become consecutive slots.
  std::vector<std::vector<tCpuidStore>> files;
  for (const std::string& path : options.LoadFiles) {
    auto read = LoadDumpFile(path);
    if (const auto* error = std::get_if<std::string>(&read)) return Fail(*error);
    files.push_back(std::get<std::vector<tCpuidStore>>(std::move(read)));
  }
  if (options.Summary) {
    const tFleetSummary summary = SummariseFleet(options.LoadFiles, files);
    return Emit(options.Json ? FleetSummaryJson(summary) : FleetSummaryText(summary));
  }
  // Each file is a machine of its own, which its processors keep as their source.
  std::vector<tCpuidStore> loaded;
  std::vector<platform::tRecordingSource> sources;
  for (std::size_t file = 0; file < files.size(); ++file) {
    for (tCpuidStore& store : files[file]) {
      sources.push_back({options.LoadFiles[file], static_cast<unsigned>(file), store.OsCpu});
      loaded.push_back(std::move(store));
    }
  }

  if (options.Dump) {
    if (options.LoadFiles.empty()) {
      platform::cLiveProcessorServices live;
      loaded = CaptureEveryProcessor(live);
    }
    if (options.Format != tFormat::Hwloc) return Emit(FormatFullDump(loaded));
    if (const auto error = WriteHwlocFolder(options.Output, loaded)) return WriteFailed(*error);
    std::fprintf(stderr, "lumarian: wrote %zu processors to %s\n", loaded.size(),
                 Quoted(options.Output).c_str());
    return 0;
  }
  if (options.Decode) {
    if (options.LoadFiles.empty()) {
      platform::cLiveProcessorServices live;
      loaded = CaptureEveryProcessor(live);
    }
    return Emit(DecodeText(loaded));
  }

  std::vector<platform::tCpuidRecording> recordings;
  recordings.reserve(loaded.size());
  for (const tCpuidStore& store : loaded)
    recordings.push_back(RecordingOf(store));

  if (window) {
    std::string refusal;
    if (const std::optional<int> status =
            runWindow(argc, argv, recordings, sources, !options.NoDriver, refusal))
      return *status;
    std::fprintf(stderr,
                 "lumarian: no display could be opened (%s); writing the text report instead\n",
                 refusal.c_str());
  }

  // The report. Recorded processors touch no hardware: no driver, no firmware tables.
  std::unique_ptr<platform::IProcessorServices> services;
  std::unique_ptr<ISMBIOSSource> smbios;
  tHardwareAccess access = tHardwareAccess::NotTried;
  if (recordings.empty() && options.Explain) {
    // The identity needs CPUID only: no driver, no firmware tables.
    services = std::make_unique<platform::cLiveProcessorServices>();
  } else if (recordings.empty()) {
    SetDriverWaitNotice(TellDriverWait);
    access = options.NoDriver     ? tHardwareAccess::Skipped
             : OpenDriverAccess() ? tHardwareAccess::Loaded
                                  : tHardwareAccess::NotLoaded;
    services = std::make_unique<platform::cLiveProcessorServices>();
    smbios = SMBIOSThroughDriver();
  } else {
    services = std::make_unique<platform::cReplayProcessorServices>(std::move(recordings),
                                                                    std::move(sources));
  }

  cCPUid engine(std::move(services), options.SkipDMI, std::move(smbios));
  engine.WaitClocksReady();
  // Where CPUID names no hypervisor, this machine's back doors may still answer.
  const bool probe = access != tHardwareAccess::NotTried && engine.Records()->SlotCount() > 0 &&
                     engine.Records()->Hypervisors[0].Signature.empty();
  const bool text = !options.Json && options.Format != tFormat::Prometheus;
  const std::string probed = text && probe ? ProbedVirtualMachine() : "";
  // The driver's answers count for this report only while it answered: once it stopped, the
  // registers of the measurements since then are missing.
  const std::optional<std::chrono::milliseconds> lost = DriverLostAfter();
  if (access == tHardwareAccess::Loaded && lost) {
    access = tHardwareAccess::Lost;
    std::fprintf(stderr,
                 "lumarian: the driver stopped answering (%s); the report goes on without it\n",
                 LostText(*lost).c_str());
  }
  const bool loadedDriver = access == tHardwareAccess::Loaded;
  // Why the driver did not load, and what that costs.
  const std::string_view refusal = access == tHardwareAccess::NotLoaded
                                       ? RefusalText(RefusalOf(ThisMachinesDriverFacts()))
                                       : std::string_view();
  const std::string report =
      options.Explain ? ExplanationReport(engine)
      : options.Json  ? JsonReport(engine, loadedDriver, lost, refusal)
      : options.Format == tFormat::Prometheus
          ? PrometheusReport(engine, loadedDriver, MicrocodeOfThisMachine)
          : TextReport(engine, access, probed, lost.value_or(std::chrono::milliseconds{}),
                       options.All, refusal);
  engine.Destroy();
  return Emit(report);
}

}  // namespace

int RunCommand(int argc, char** argv, tWindowRun runWindow) {
  // Whichever thread meets the limit, the process ends with the limit's line.
  std::set_terminate(EndOnUncaught);
  return Run(argc, argv, runWindow);
}
