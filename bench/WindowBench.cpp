// How long the window's thread is held up while the engine identifies the processors again:
// a window over simulated processors whose clock measurement really sleeps, its refresh
// cycle sped up so that an identification is asked for every half second. Noted: the longest
// refresh tick, the longest any one event took the window's thread (the refill after an
// identification included) with the processor time it used, and the longest time a 1 ms
// probe timer did not come round. On a busy machine wall time exceeds processor time by the
// time the thread waited for a processor, not for the engine.
// Usage: window_bench [processors, default 256] [seconds, default 10; 0: start-up only]
#include <time.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/SimulatedProcessors.h"
#include "engine/CPUid.h"
#include "ui/MainUn.h"

namespace {

class tNoDialogs final : public IFileDialogs {
 public:
  std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  bool ConfirmReplace(QWidget*, const QString&) override { return false; }
};

// Processor time of the calling thread, in nanoseconds.
qint64 ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Times every event it delivers; the longest counts once `timing` is set.
class tTimedApplication final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (!timing) return QApplication::notify(receiver, event);
    QElapsedTimer clock;
    clock.start();
    const qint64 cpu = ThreadCpuNs();
    const bool handled = QApplication::notify(receiver, event);
    const qint64 wall = clock.nsecsElapsed();
    if (wall > longestNs) {
      longestNs = wall;
      longestCpuNs = ThreadCpuNs() - cpu;
    }
    return handled;
  }
  bool timing = false;
  qint64 longestNs = 0;
  qint64 longestCpuNs = 0;
};

class tNoErrors final : public IErrorSink {
 public:
  void ShowError(QWidget*, const QString& message) override {
    std::fprintf(stderr, "error: %s\n", message.toUtf8().constData());
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  tTimedApplication app(argc, argv);
  const unsigned processors = argc > 1 ? static_cast<unsigned>(std::stoul(argv[1])) : 256;
  const int seconds = argc > 2 ? std::stoi(argv[2]) : 10;

  const platform::tCpuidRecording recording = FixtureRecording("intel-core-i7-2600k-cpu.txt");
  tNoDialogs dialogs;
  tNoErrors errors;
  tMainSetup setup;
  setup.Services = [&] { return std::make_unique<tSimulatedProcessors>(processors, recording); };
  setup.LoadDriver = [] { return false; };
  setup.Smbios = [] { return std::unique_ptr<ISMBIOSSource>(); };
  setup.Dialogs = &dialogs;
  setup.Errors = &errors;
  setup.OpenUrl = [](const QUrl&) {};

  QElapsedTimer clock;
  clock.start();
  TMainFrm window(std::move(setup));
  window.show();
  std::printf("%u processors: window filled after %lld ms\n", processors,
              static_cast<long long>(clock.elapsed()));
  if (seconds <= 0) return 0;

  qint64 longestTickNs = 0;
  qint64 last = clock.elapsed();
  qint64 longestGap = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  probe.setInterval(1);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longestGap = std::max(longestGap, now - last);
    last = now;
  });
  probe.start();

  // The window's refresh handler every 100 ms instead of 2000 ms (every fifth tick
  // identifies), each call timed.
  QTimer ticker;
  ticker.setInterval(100);
  window.Refresher().stop();
  int ticks = 0;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    QElapsedTimer tick;
    tick.start();
    window.RefresherTimer();
    longestTickNs = std::max(longestTickNs, tick.nsecsElapsed());
    ++ticks;
  });
  ticker.start();
  QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
  last = clock.elapsed();
  app.timing = true;
  app.exec();
  std::printf(
      "%d refresh ticks (%d identifications) in %d s: longest tick %.3f ms, longest event "
      "%.3f ms (%.3f ms of it on a processor), longest stall of the probe timer %lld ms\n",
      ticks, ticks / 5, seconds, static_cast<double>(longestTickNs) / 1e6,
      static_cast<double>(app.longestNs) / 1e6, static_cast<double>(app.longestCpuNs) / 1e6,
      static_cast<long long>(longestGap));
  window.close();
  return 0;
}
