// The driver as a process of its own: the messages between program and driver, the driver's
// server, the program's connection to it (over a real socket pair), starting it, and the
// privileges it keeps.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "driver/Privileges.h"
#include "driver/RequestServer.h"
#include "hw/DriverProcess.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "platform/LiveProcessorServices.h"
#include "protocol/CmnTnC.h"
#include "protocol/LittleEndian.h"
#include "protocol/RequestMessage.h"
#include "smbios/get_dmi.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

using tBytes = std::vector<std::uint8_t>;

tBytes Request(std::uint32_t code, std::uint32_t outLength, std::uint32_t processor,
               const tBytes& input) {
  tBytes message(kMaxRequestSize);
  message.resize(EncodeRequest({code, outLength, processor, input}, message));
  return message;
}

tBytes Le32(std::uint32_t value) {
  tBytes bytes(4);
  StoreLE(bytes.data(), value, 4);
  return bytes;
}

TEST(DriverMessages, RequestsRoundTripAndMalformedMessagesHoldNone) {
  const tBytes message = Request(IOCTL_WRITE_MSR, 0, 3, tBytes(12, 0xAB));
  ASSERT_EQ(message.size(), 24u);
  const std::optional<tRequest> parsed = ParseRequest(message);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Code, IOCTL_WRITE_MSR);
  EXPECT_EQ(parsed->Processor, 3u);
  EXPECT_EQ(tBytes(parsed->Input.begin(), parsed->Input.end()), tBytes(12, 0xAB));

  tBytes tooLong = Request(IOCTL_READ_MSR, 8, 0, tBytes(kMaxRequestInput, 0));
  EXPECT_TRUE(ParseRequest(tooLong));
  tooLong.push_back(0);
  const tBytes tooShort(kRequestHeaderSize - 1, 0);
  const tBytes tooMuchOutput = Request(IOCTL_READ_MSR, kMaxReplyOutput + 1, 0, {});
  for (const tBytes& bad : {tooLong, tooShort, tooMuchOutput, tBytes{}})
    EXPECT_FALSE(ParseRequest(bad)) << bad.size();
  EXPECT_TRUE(ParseRequest(Request(IOCTL_READ_MSR, kMaxReplyOutput, 0, {})));
}

// The server over in-memory hardware, with the firmware tables given.
struct tServer {
  std::shared_ptr<cFakeDeviceBackend> backend = std::make_shared<cFakeDeviceBackend>();
  tBytes entryPoint, table;
  bool hasTables = true;
  int tableReads = 0;
  std::vector<std::uint32_t> processors;
  cRequestServer server{std::make_shared<cControlDevice>(backend),
                        [this](tBytes& e, tBytes& t) {
                          ++tableReads;
                          e = entryPoint;
                          t = table;
                          return hasTables;
                        },
                        [this](std::uint32_t p) { processors.push_back(p); }};

  struct tReply {
    tDeviceStatus Status;
    tBytes Out;
  };
  tReply Answer(const tBytes& message) {
    tBytes reply(kMaxReplySize, 0xEE);
    const std::size_t length = server.Answer(message, reply);
    EXPECT_GE(length, kReplyHeaderSize);
    return {static_cast<tDeviceStatus>(LoadLE(reply.data(), 4)),
            tBytes(reply.begin() + kReplyHeaderSize, reply.begin() + length)};
  }
};

// A request message and the status and output its reply carries.
struct tAnswerRow {
  const char* what;
  tBytes message;
  tDeviceStatus status;
  tBytes out;
};

void ExpectAnswers(tServer& s, const std::vector<tAnswerRow>& rows) {
  for (const tAnswerRow& row : rows) {
    SCOPED_TRACE(row.what);
    const tServer::tReply reply = s.Answer(row.message);
    EXPECT_EQ(reply.Status, row.status);
    EXPECT_EQ(reply.Out, row.out);
  }
}

TEST(DriverServer, AnswersWithTheDevicesStatusAndOutputOnly) {
  tServer s;
  s.backend->Msrs[0x2A] = 0x11223344'55667788;
  s.backend->Msrs[0x10] = 1;
  const tBytes index2A = Le32(0x2A);
  ExpectAnswers(s, {
                       {"register of the list",
                        Request(IOCTL_READ_MSR, 8, 1, index2A),
                        tDeviceStatus::Success,
                        {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
                       {"more output asked than written",
                        Request(IOCTL_READ_MSR, 100, 1, index2A),
                        tDeviceStatus::Success,
                        {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
                       {"register not on the list",
                        Request(IOCTL_READ_MSR, 8, 1, Le32(0x10)),
                        tDeviceStatus::AccessDenied,
                        {}},
                       {"register write",
                        Request(IOCTL_WRITE_MSR, 0, 1, tBytes(12, 0x2A)),
                        tDeviceStatus::AccessDenied,
                        {}},
                       {"short input",
                        Request(IOCTL_READ_MSR, 8, 1, {0x2A}),
                        tDeviceStatus::InvalidParameter,
                        {}},
                       {"unknown code",
                        Request(0x9C40FFFC, 8, 1, index2A),
                        tDeviceStatus::InvalidDeviceRequest,
                        {}},
                       {"processor out of range",
                        Request(IOCTL_READ_MSR, 8, kProcessorLimit, index2A),
                        tDeviceStatus::InvalidParameter,
                        {}},
                       {"no request at all", tBytes(5, 0), tDeviceStatus::InvalidParameter, {}},
                   });
  // Register requests are pointed at the processor each names; only the allowed reads reached
  // the hardware.
  EXPECT_EQ(s.processors, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(s.backend->Requests, (std::vector<tFakeRequest>{{tFakeRequest::MsrRead, 0x2A, 8, 0},
                                                            {tFakeRequest::MsrRead, 0x2A, 8, 0}}));
  s.Answer(Request(IOCTL_READ_MSR, 8, kAnyProcessor, index2A));
  EXPECT_EQ(s.processors.back(), kAnyProcessor);
}

// A device that fails after writing part of its output, and counts what it wrote.
class tFailingDevice final : public IControlDevice {
 public:
  tDeviceStatus Control(std::uint32_t, const void*, std::uint32_t, void* out,
                        std::uint32_t outLength, std::uint32_t& returned) override {
    returned = std::min<std::uint32_t>(outLength, 4);
    std::fill_n(static_cast<std::uint8_t*>(out), returned, 0xAB);
    return tDeviceStatus::Unsuccessful;
  }
};

TEST(DriverServer, AFailedRequestCarriesNoOutputWhateverTheDeviceWrote) {
  cRequestServer server(
      std::make_shared<tFailingDevice>(), [](tBytes&, tBytes&) { return false; },
      [](std::uint32_t) {});
  tBytes reply(kMaxReplySize);
  const std::size_t length = server.Answer(Request(IOCTL_READ_MSR, 8, 0, Le32(0x2A)), reply);
  EXPECT_EQ(length, kReplyHeaderSize);
  EXPECT_EQ(LoadLE(reply.data(), 4), static_cast<std::uint32_t>(tDeviceStatus::Unsuccessful));
}

TEST(DriverServer, FirmwareTablesAreReadOnceAndHandedOutInPieces) {
  tServer s;
  s.entryPoint = {'_', 'S', 'M', '_', 1, 2, 3};
  for (unsigned k = 0; k < 300; ++k)
    s.table.push_back(static_cast<std::uint8_t>(k));
  const tBytes none;
  ExpectAnswers(s,
                {
                    {"entry point", Request(IOCTL_READ_SMBIOS_ENTRY_POINT, 64, 0, none),
                     tDeviceStatus::Success, s.entryPoint},
                    {"entry point longer than the output",
                     Request(IOCTL_READ_SMBIOS_ENTRY_POINT, 6, 0, none),
                     tDeviceStatus::InvalidParameter,
                     {}},
                    {"entry point with input",
                     Request(IOCTL_READ_SMBIOS_ENTRY_POINT, 64, 0, Le32(0)),
                     tDeviceStatus::InvalidParameter,
                     {}},
                    {"first piece", Request(IOCTL_READ_SMBIOS_TABLE, 256, 0, Le32(0)),
                     tDeviceStatus::Success, tBytes(s.table.begin(), s.table.begin() + 256)},
                    {"last piece comes short", Request(IOCTL_READ_SMBIOS_TABLE, 256, 0, Le32(256)),
                     tDeviceStatus::Success, tBytes(s.table.begin() + 256, s.table.end())},
                    {"at the end: nothing",
                     Request(IOCTL_READ_SMBIOS_TABLE, 256, 0, Le32(300)),
                     tDeviceStatus::Success,
                     {}},
                    {"past the end",
                     Request(IOCTL_READ_SMBIOS_TABLE, 256, 0, Le32(301)),
                     tDeviceStatus::InvalidParameter,
                     {}},
                    {"offset not 4 bytes",
                     Request(IOCTL_READ_SMBIOS_TABLE, 256, 0, {0, 0}),
                     tDeviceStatus::InvalidParameter,
                     {}},
                });
  EXPECT_EQ(s.tableReads, 1);

  tServer without;
  without.hasTables = false;
  EXPECT_EQ(without.Answer(Request(IOCTL_READ_SMBIOS_ENTRY_POINT, 64, 0, none)).Status,
            tDeviceStatus::Unsuccessful);
  EXPECT_EQ(without.Answer(Request(IOCTL_READ_SMBIOS_TABLE, 64, 0, Le32(0))).Status,
            tDeviceStatus::Unsuccessful);
  EXPECT_EQ(without.tableReads, 1);
}

// A driver server in a thread of its own behind a socket pair, and the program's connection
// to it.
class tThreadDriver {
 public:
  explicit tThreadDriver(
      std::shared_ptr<cFakeDeviceBackend> backend,
      tFirmwareTables tables = [](tBytes&, tBytes&) { return false; })
      : server_(std::make_shared<cControlDevice>(std::move(backend)), std::move(tables),
                [this](std::uint32_t p) { lastProcessor_ = p; }) {
    int ends[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
    thread_ = std::thread([this, end = ends[1]] {
      ServeClient(end, server_);
      close(end);
    });
    std::uint8_t greeting[64];
    EXPECT_EQ(recv(ends[0], greeting, sizeof greeting, 0),
              static_cast<ssize_t>(kReplyHeaderSize + kDriverGreeting.size()));
    Device = std::make_shared<cDriverConnection>(ends[0], -1);
  }
  ~tThreadDriver() {
    Device.reset();  // the server sees its client close
    thread_.join();
  }

  std::shared_ptr<cDriverConnection> Device;
  std::uint32_t LastProcessor() const { return lastProcessor_; }

 private:
  cRequestServer server_;
  std::atomic<std::uint32_t> lastProcessor_{0};
  std::thread thread_;
};

TEST(DriverConnection, CarriesRequestsRepliesAndTheCallersProcessor) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  backend->Msrs[0xC0010015] = 0x00000001'0F000000;
  backend->Ports[0xCFC] = 0x12345678;
  tThreadDriver driver(backend);
  cDrvIface iface(driver.Device);
  ASSERT_TRUE(iface.Loaded);

  // Pinned, so that the thread cannot move to another processor between its request and the
  // comparison.
  platform::cLiveProcessorServices processors;
  ASSERT_TRUE(processors.PinThread(0));
  tMSRValue value;
  EXPECT_TRUE(iface.ReadMsrValue(0xC0010015, value));
  EXPECT_EQ(value, (tMSRValue{.High = 1, .Low = 0x0F000000}));
  EXPECT_EQ(driver.LastProcessor(), static_cast<std::uint32_t>(sched_getcpu()));
  processors.RestoreThread();
  EXPECT_FALSE(iface.ReadMsrValue(0x10, value));  // refused by the driver
  EXPECT_FALSE(iface.WriteMsrValue(0xC0010015, value));
  iface.WritePortDword(0xCF8, 0x80000000);
  EXPECT_EQ(iface.ReadPortWord(0xCFC), 0x5678u);
  EXPECT_THROW(iface.ReadPortByte(0x80), EAssertionFailed);  // not a configuration port

  // Bounds are checked before anything is sent.
  std::uint8_t big[kMaxRequestInput + 1] = {};
  std::uint32_t returned = 9;
  EXPECT_EQ(driver.Device->Control(IOCTL_READ_MSR, big, sizeof big, big, 8, returned),
            tDeviceStatus::InvalidParameter);
  EXPECT_EQ(driver.Device->Control(IOCTL_READ_MSR, big, 4, nullptr, 8, returned),
            tDeviceStatus::InvalidParameter);
  EXPECT_EQ(returned, 0u);
}

TEST(DriverConnection, ThreadsGetTheirOwnReplies) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  backend->Msrs[0x2A] = 0x2A;
  backend->Msrs[0x2C] = 0x2C;
  tThreadDriver driver(backend);
  cDrvIface iface(driver.Device);
  std::atomic<int> wrong{0};
  auto reader = [&](std::uint32_t index) {
    for (int k = 0; k < 500; ++k) {
      tMSRValue value;
      if (!iface.ReadMsrValue(index, value) || value.Low != index) ++wrong;
    }
  };
  std::thread a(reader, 0x2A), b(reader, 0x2C);
  a.join();
  b.join();
  EXPECT_EQ(wrong, 0);
}

// A peer that answers every request with `reply`, or closes at once without one.
class tRoguePeer {
 public:
  explicit tRoguePeer(std::optional<tBytes> reply) {
    int ends[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
    thread_ = std::thread([end = ends[1], reply] {
      std::uint8_t message[kMaxRequestSize + 1];
      while (reply && recv(end, message, sizeof message, 0) > 0)
        send(end, reply->data(), reply->size(), MSG_NOSIGNAL);
      close(end);
    });
    Device = std::make_shared<cDriverConnection>(ends[0], -1);
  }
  ~tRoguePeer() {
    Device.reset();
    thread_.join();
  }
  std::shared_ptr<cDriverConnection> Device;

 private:
  std::thread thread_;
};

TEST(DriverConnection, AReplyThatCannotBeOneOrAClosedDriverEndsTheConnection) {
  tBytes tooLong = Le32(0);
  tooLong.resize(kReplyHeaderSize + 9);  // nine bytes for an eight-byte read
  const tBytes refusedWithBytes = [] {
    tBytes b = Le32(static_cast<std::uint32_t>(tDeviceStatus::AccessDenied));
    b.resize(12);
    return b;
  }();
  struct {
    const char* what;
    std::optional<tBytes> reply;
    tDeviceStatus first;
    bool broken;
  } const rows[] = {
      {"closed", std::nullopt, tDeviceStatus::Unsuccessful, true},
      {"no status", tBytes{0, 0}, tDeviceStatus::Unsuccessful, true},
      {"more output than asked", tooLong, tDeviceStatus::Unsuccessful, true},
      {"refused, output ignored", refusedWithBytes, tDeviceStatus::AccessDenied, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    tRoguePeer peer(row.reply);
    std::uint8_t in[4] = {0x2A}, out[8] = {0xEE, 0xEE};
    std::uint32_t returned = 7;
    EXPECT_FALSE(peer.Device->LostAfter());
    EXPECT_EQ(peer.Device->Control(IOCTL_READ_MSR, in, 4, out, 8, returned), row.first);
    EXPECT_EQ(peer.Device->LostAfter().has_value(), row.broken);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(out[0], 0xEE);
    const tDeviceStatus again = peer.Device->Control(IOCTL_READ_MSR, in, 4, out, 8, returned);
    if (row.broken) {
      EXPECT_EQ(again, tDeviceStatus::Unsuccessful);
    }
  }
}

TEST(DriverConnection, AReplyThatComesTooLateIsNeverTakenForTheNextRequests) {
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
  // The driver answers the first request late, every later one at once, each with its value.
  std::thread slow([end = ends[1]] {
    std::uint8_t message[kMaxRequestSize + 1];
    for (std::uint8_t n = 1; recv(end, message, sizeof message, 0) > 0; ++n) {
      if (n == 1) std::this_thread::sleep_for(std::chrono::milliseconds(300));
      tBytes reply = Le32(0);
      reply.resize(kReplyHeaderSize + 8, n);
      send(end, reply.data(), reply.size(), MSG_NOSIGNAL);
    }
    close(end);
  });
  {
    cDriverConnection device(ends[0], -1, std::chrono::milliseconds(100));
    std::uint8_t in[4] = {0x2A}, out[8] = {};
    std::uint32_t returned = 0;
    EXPECT_EQ(device.Control(IOCTL_READ_MSR, in, 4, out, 8, returned), tDeviceStatus::Unsuccessful);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the late reply arrives
    EXPECT_EQ(device.Control(IOCTL_READ_MSR, in, 4, out, 8, returned), tDeviceStatus::Unsuccessful);
    EXPECT_EQ(out[0], 0);
  }
  slow.join();
}

TEST(DriverConnection, TheFirmwareTablesComeInPiecesAndFeedTheSMBIOSReader) {
  // A 2.x entry point and a table with one processor structure (external clock 100 MHz,
  // current speed 2400 MHz) padded past two reply pieces.
  tBytes entry(0x1F, 0);
  std::copy_n("_SM_", 4, entry.begin());
  // Type 4 with no strings (two NULs), then the end-of-table structure at 0x1C.
  tBytes table(2 * kMaxReplyOutput + 10, 0);
  table[0] = 4;
  table[1] = 0x1A;
  StoreLE(&table[0x12], 100, 2);
  StoreLE(&table[0x16], 2400, 2);
  table[0x1C] = 127;
  table[0x1D] = 4;
  StoreLE(&entry[0x16], 0xFFFF, 2);
  StoreLE(&entry[0x1C], 2, 2);

  auto backend = std::make_shared<cFakeDeviceBackend>();
  tThreadDriver driver(backend, [&](tBytes& e, tBytes& t) {
    e = entry;
    t = table;
    return true;
  });
  auto iface = std::make_shared<cDrvIface>(driver.Device);
  tBytes gotEntry, gotTable;
  ASSERT_TRUE(iface->ReadFirmwareTables(gotEntry, gotTable));
  EXPECT_EQ(gotEntry, entry);
  EXPECT_EQ(gotTable, table);

  // Through DriverInterface, as the engine reads them; the system's tables are not asked.
  class tNoTables final : public ISMBIOSSource {
   public:
    bool KernelTables(tBytes&, tBytes&) override { return false; }
    bool BIOSArea(tBytes&) override { return false; }
    bool ReadPhysical(std::uint64_t, std::size_t, tBytes&) override { return false; }
  };
  const auto saved = std::exchange(DriverInterface, iface);
  const tSMBIOSTables read = ReadSMBIOS(*SMBIOSThroughDriver(std::make_unique<tNoTables>()));
  DriverInterface = saved;
  ASSERT_TRUE(read.SMBIOSAvailable);
  EXPECT_EQ(read.StructStart, (std::vector<std::uint32_t>{0, 0x1C}));

  // Where this process is refused, a loaded driver, which reads as root, is not.
  class tRefused final : public ISMBIOSSource {
   public:
    bool KernelTables(tBytes&, tBytes&) override { return false; }
    bool BIOSArea(tBytes&) override { return false; }
    bool ReadPhysical(std::uint64_t, std::size_t, tBytes&) override { return false; }
    bool PermissionDenied() const override { return true; }
  };
  for (const bool loaded : {false, true}) {
    SCOPED_TRACE(loaded ? "driver loaded" : "no driver");
    const auto driverNow = std::exchange(DriverInterface, loaded ? iface : nullptr);
    iface->Loaded = loaded;
    EXPECT_EQ(SMBIOSThroughDriver(std::make_unique<tRefused>())->PermissionDenied(), !loaded);
    DriverInterface = driverNow;
  }
}

// The test-only driver beside this test: the real server and allow-list over fake hardware.
const std::string kFakeDriver = LUMARIAN_FAKE_DRIVER;

// What the start of the driver told, in order.
std::vector<tDriverWait> toldWaits;
void RecordWait(tDriverWait what, std::chrono::milliseconds) {
  toldWaits.push_back(what);
}

TEST(DriverStart, AWaitIsToldAndALauncherThatIgnoresTermIsKilled) {
  const std::string pidFile = testing::TempDir() + "launcher.pid";
  const std::string stubborn =
      "trap '' TERM; echo $$ > " + pidFile + "; while :; do sleep 0.05; done";
  using W = tDriverWait;
  const struct {
    const char* what;
    std::vector<std::string> command;
    std::vector<tDriverWait> told;
  } rows[] = {
      {"ends at once", {"/bin/false"}, {}},
      {"greets at once", {kFakeDriver}, {}},
      {"never answers", {"/bin/sleep", "30"}, {W::Asking, W::GaveUp}},
      {"never answers, ignores SIGTERM", {"/bin/sh", "-c", stubborn}, {W::Asking, W::GaveUp}},
  };
  SetDriverWaitNotice(RecordWait);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    toldWaits.clear();
    std::remove(pidFile.c_str());
    const auto before = std::chrono::steady_clock::now();
    const tDeviceHandle device = StartDriverProcess(row.command, std::chrono::milliseconds(800));
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(device != nullptr, row.command[0] == kFakeDriver);
    EXPECT_EQ(toldWaits, row.told);
    EXPECT_LT(took, std::chrono::seconds(6));
    std::ifstream pid(pidFile);
    pid_t launcher = 0;
    if (pid >> launcher) {
      EXPECT_EQ(kill(launcher, 0), -1) << "the launcher is gone";
      EXPECT_EQ(errno, ESRCH);
    }
  }
  SetDriverWaitNotice(nullptr);
}

std::atomic<bool> askingNow{false};
void NoteAsking(tDriverWait what, std::chrono::milliseconds) {
  if (what == tDriverWait::Asking) askingNow = true;
}

TEST(DriverStart, AnAbandonedStartEndsItsLauncherAtOnce) {
  const std::string pidFile = testing::TempDir() + "abandoned.pid";
  const std::string stubborn = "trap '' TERM; echo $$ > " + pidFile + "; exec sleep 30";
  SetDriverWaitNotice(NoteAsking);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"/bin/sleep", "30"},
        std::vector<std::string>{"/bin/sh", "-c", stubborn}}) {
    SCOPED_TRACE(command.back());
    std::remove(pidFile.c_str());
    askingNow = false;
    bool started = true;
    std::thread start(
        [&] { started = StartDriverProcess(command, std::chrono::seconds(20)) != nullptr; });
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!askingNow && std::chrono::steady_clock::now() < bound)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(askingNow);
    const auto abandoned = std::chrono::steady_clock::now();
    AbandonDriverStarts();
    start.join();
    EXPECT_LT(std::chrono::steady_clock::now() - abandoned, std::chrono::seconds(3));
    EXPECT_FALSE(started);
    std::ifstream pid(pidFile);
    pid_t launcher = 0;
    if (pid >> launcher) {
      EXPECT_EQ(kill(launcher, 0), -1) << "the launcher is gone";
    }
  }
  SetDriverWaitNotice(nullptr);
  // Later starts are not affected.
  EXPECT_NE(StartDriverProcess({kFakeDriver}), nullptr);
}

TEST(DriverConnection, ADriverThatStopsAnsweringIsGivenUpOnWithinTwoSeconds) {
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
  std::thread silent([end = ends[1]] {  // takes the requests and answers none
    std::uint8_t message[kMaxRequestSize + 1];
    while (recv(end, message, sizeof message, 0) > 0) {
    }
    close(end);
  });
  {
    cDriverConnection device(ends[0], -1);
    std::uint8_t in[4] = {0x2A}, out[8] = {};
    std::uint32_t returned = 0;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(device.Control(IOCTL_READ_MSR, in, 4, out, 8, returned), tDeviceStatus::Unsuccessful);
    const auto first = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(device.Control(IOCTL_READ_MSR, in, 4, out, 8, returned), tDeviceStatus::Unsuccessful);
    const auto both = std::chrono::steady_clock::now() - before;
    std::printf("silent driver: first request given up after %lld ms, the next after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(first).count()),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(both - first).count()));
    EXPECT_LE(first, std::chrono::milliseconds(2500));
    EXPECT_LE(both, std::chrono::milliseconds(2500)) << "once lost, never waited for again";
    ASSERT_TRUE(device.LostAfter());
    EXPECT_LE(*device.LostAfter(), std::chrono::milliseconds(2500));
  }
  silent.join();
}

TEST(DriverStart, ConnectedOnlyWhenTheStartedProgramGreets) {
  const auto patience = std::chrono::milliseconds(300);
  EXPECT_EQ(StartDriverProcess({}, patience), nullptr);
  EXPECT_EQ(StartDriverProcess({"/nonexistent/pkexec", kFakeDriver}, patience), nullptr);
  // A launcher that ends at once (declined, no polkit), one that greets wrongly, one that
  // stays silent.
  EXPECT_EQ(StartDriverProcess({"/bin/false", kFakeDriver}, patience), nullptr);
  EXPECT_EQ(StartDriverProcess({"/bin/sh", "-c", "echo lumarian-driver 1 >&0"}, patience), nullptr);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(StartDriverProcess({"/bin/sleep", "30"}, patience), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));

  const tDeviceHandle device = StartDriverProcess({kFakeDriver, "--msr", "0x2C=0x1F000000"});
  ASSERT_NE(device, nullptr);
  cDrvIface iface(device);
  tMSRValue value;
  EXPECT_TRUE(iface.ReadMsrValue(0x2C, value));
  EXPECT_EQ(value.Low, 0x1F000000u);
}

TEST(DriverPrivileges, OnlyTheDriversSocketIsTaken) {
  int seq[2], stream[2], datagram[2], pipeEnds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, seq), 0);
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, stream), 0);
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, datagram), 0);
  ASSERT_EQ(pipe(pipeEnds), 0);
  const int file = open("/dev/null", O_RDONLY);
  EXPECT_TRUE(IsDriverSocket(seq[1]));
  for (int fd : {stream[1], datagram[1], pipeEnds[0], file, -1})
    EXPECT_FALSE(IsDriverSocket(fd)) << fd;
  for (int fd : {seq[0], seq[1], stream[0], stream[1], datagram[0], datagram[1], pipeEnds[0],
                 pipeEnds[1], file})
    close(fd);
}

// The process's capability sets and no-new-privileges flag, from /proc/self/status.
std::string Status(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return line.substr(field.size() + 1);
  }
  return {};
}

TEST(DriverPrivileges, OnlyRawIoIsKeptAndNothingCanBeGainedAgain) {
  // In a child: the test process keeps its own.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool root = geteuid() == 0;
    const auto hex = [](const std::string& text) { return std::stoull(text, nullptr, 16); };
    const std::uint64_t rawIo = 1ull << 17;
    // What is kept is CAP_SYS_RAWIO where the process had it: root may run without it.
    const std::uint64_t had = hex(Status("CapPrm")) & rawIo;
    const bool kept = KeepOnlyRawIo();
    const bool ok = kept && std::stoi(Status("NoNewPrivs")) == 1 && hex(Status("CapEff")) == had &&
                    hex(Status("CapPrm")) == had &&
                    (!root || (hex(Status("CapBnd")) & ~rawIo) == 0) && hex(Status("CapInh")) == 0;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
