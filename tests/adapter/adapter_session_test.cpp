// The adapter session against a recording library: opening and closing, the
// request block of every request, the RID and aux records, the aux-write
// split, the block retry, the probe warning and the platform layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "adapter/requests.h"
#include "tests/adapter/adapter_fixture.h"

namespace devov::test {
namespace {

constexpr const char* kIncompatibleDriverText =
    "Your current WLAN driver does not support this version of this utility. You may need to "
    "upgrade the driver.";

class Session : public AdapterTest {
 protected:
  Session() { add_one_adapter(); }

  // Opens the adapter, quietly: resolving prints the adapter's name.
  bool open(bool read_platform = false) {
    testing::internal::CaptureStdout();
    const bool ok = session.open(0, read_platform);
    testing::internal::GetCapturedStdout();
    return ok;
  }

  void open_and_forget_requests() {
    ASSERT_TRUE(open());
    library.requests.clear();
    library.calls.clear();
  }

  AuxRecord aux(std::uint32_t address, std::uint16_t length) {
    AuxRecord record;
    record.set_address(address);
    record.set_length(length);
    for (std::uint16_t i = 0; i < kMaxChunk; ++i)
      record.data()[i] = static_cast<std::uint8_t>(i + 1);
    return record;
  }

  AdapterSession session;
};

// ---- open and close ----

TEST_F(Session, OpenResolvesOpensMakesTheEventAndEnablesTheAuxPort) {
  testing::internal::CaptureStdout();
  ASSERT_TRUE(session.open(0, false));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Adapter Names : Velk 6271 Wireless USB Adapter\n");

  EXPECT_EQ(library.calls, (std::vector<std::string>{"os_get_platform_version 2",
                                                     "get_adapter_registry_info 0000",
                                                     "open_adapter \\Device\\{6271}",
                                                     "request FF010184"}));
  EXPECT_TRUE(session.is_open());
  EXPECT_EQ(session.handle, RecordingLibrary::kHandle);
  EXPECT_EQ(fake.events.created, 1);
  ASSERT_NE(session.overlapped.event, nullptr);
  const SentRequest& enable = library.requests.at(0);
  EXPECT_EQ(enable.event, session.overlapped.event) << "the event made at open goes along";
  EXPECT_EQ(session.platform_type, 0) << "no platform read asked for";
  EXPECT_EQ(keys_left_open(), 0);
}

TEST_F(Session, OpenWithThePlatformFlagReadsThePlatformRecord) {
  library.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0, 0, 1});
  ASSERT_TRUE(open(true));
  EXPECT_EQ(library.oids(), (std::vector<std::uint32_t>{0xFF010184, 0xFF010181}));
  EXPECT_EQ(library.requests.at(1).rid(), 0xFD04);
  EXPECT_EQ(session.platform_type, 1);
  EXPECT_EQ(session.pda_address, 0x3F0000u);
}

TEST_F(Session, OpenOfAnOpenAdapterTouchesNeitherRegistryNorLibrary) {
  ASSERT_TRUE(open());
  const auto calls = library.calls;
  const int keys = fake.registry_calls.opened;
  library.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0, 0, 2});
  EXPECT_TRUE(open(true));
  EXPECT_EQ(library.calls, calls);
  EXPECT_EQ(fake.registry_calls.opened, keys);
  EXPECT_EQ(fake.events.created, 1);
  EXPECT_EQ(session.platform_type, 0) << "the platform is not read again";
}

const std::vector<std::string> kResolved = {"os_get_platform_version 2",
                                            "get_adapter_registry_info 0000",
                                            "open_adapter \\Device\\{6271}"};

std::vector<std::string> resolved_then(std::vector<std::string> more) {
  std::vector<std::string> calls = kResolved;
  calls.insert(calls.end(), more.begin(), more.end());
  return calls;
}

TEST_F(Session, OpenFailsWhenTheIndexDoesNotResolve) {
  testing::internal::CaptureStdout();
  EXPECT_FALSE(session.open(1, false));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(library.calls,
            (std::vector<std::string>{"os_get_platform_version 2", "get_last_error"}));
  EXPECT_FALSE(session.is_open());
}

TEST_F(Session, OpenFailsWhenTheLibraryCannotOpenTheAdapter) {
  library.openable.clear();
  EXPECT_FALSE(open());
  EXPECT_EQ(library.calls, resolved_then({"get_last_error"}));
  EXPECT_EQ(fake.events.created, 0);
  EXPECT_EQ(session.handle, platform::kInvalidAdapter);
}

TEST_F(Session, OpenFailsWhenTheEventCannotBeMadeAndSaysSo) {
  fake.events.fail_create = true;
  EXPECT_FALSE(open());
  EXPECT_EQ(library.calls, resolved_then({"close_adapter 81"}));
  EXPECT_EQ(session.handle, platform::kInvalidAdapter);
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].text, "Could not create Overlapped Event");
  EXPECT_EQ(fake.boxes.calls[0].caption, "Error");
  EXPECT_EQ(fake.boxes.calls[0].style, 0u);
  EXPECT_EQ(fake.boxes.calls[0].owner, platform::BoxOwner::MainWindow);
  EXPECT_EQ(log_text(), "Error:Could not create Overlapped Event\n");
}

TEST_F(Session, OpenFailsAndClosesWhenTheDriverRefusesTheAuxPort) {
  library.statuses[0xFF010184] = {0xC0000001};
  EXPECT_FALSE(open(true));
  EXPECT_EQ(library.calls, resolved_then({"request FF010184", "close_adapter 81"}));
  EXPECT_EQ(fake.events.created, 1);
  EXPECT_EQ(fake.events.closed, 1);
  EXPECT_FALSE(session.is_open());
  EXPECT_TRUE(fake.boxes.calls.empty());
}

TEST_F(Session, CloseReleasesHandleAndEventOnceAndDestructionCloses) {
  ASSERT_TRUE(open());
  session.close();
  session.close();
  EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "close_adapter 81"), 1);
  EXPECT_EQ(fake.events.closed, 1);
  EXPECT_FALSE(session.is_open());
  {
    AdapterSession other;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(other.open(0, false));
    testing::internal::GetCapturedStdout();
  }
  EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "close_adapter 81"), 2);
  EXPECT_EQ(fake.events.closed, 2);
}

// ---- The request block of every request ----

struct BlockCase {
  const char* name;
  std::function<bool(AdapterSession&)> op;
  std::uint32_t type;
  std::uint32_t oid;
  bool has_buffer;
  std::uint32_t length;
};

void PrintTo(const BlockCase& c, std::ostream* out) { *out << c.name; }

AuxRecord ten_bytes_at(std::uint32_t address) {
  AuxRecord record;
  record.set_address(address);
  record.set_length(10);
  return record;
}

const BlockCase kBlockCases[] = {
    {"ReadRid", [](AdapterSession& s) { RidRecord r; return s.read_rid(r, 0xFD02); }, 0,
     0xFF010181, true, 504},
    {"Probe", [](AdapterSession& s) { return s.probe(); }, 0, 0xFF010183, true, 8},
    {"EnableAux", [](AdapterSession& s) { return s.enable_aux(); }, 1, 0xFF010184, false, 0},
    {"BlockProtocols", [](AdapterSession& s) { return s.block_protocols(true); }, 1, 0xFF010187,
     false, 0},
    {"UnblockProtocols", [](AdapterSession& s) { return s.block_protocols(false); }, 1,
     0xFF010188, false, 0},
    {"AuxRead",
     [](AdapterSession& s) {
       AuxRecord r = ten_bytes_at(0x100);
       return s.aux_read(r);
     },
     0, 0xFF010186, true, 16},
    {"AuxWrite",
     [](AdapterSession& s) {
       AuxRecord r = ten_bytes_at(0x100);
       return s.aux_write(r);
     },
     1, 0xFF01018C, true, 16},
    {"Finish", [](AdapterSession& s) { return s.finish(); }, 1, 0xFF020198, false, 0},
    {"PermanentAddress",
     [](AdapterSession& s) {
       std::uint8_t mac[6];
       return s.get_permanent_address(mac);
     },
     0, 0x01010101, true, 6},
    {"DriverVersion", [](AdapterSession& s) { return s.get_driver_version() != 0; }, 0,
     0x00010116, true, 4},
};

class SessionRequestBlock : public Session, public testing::WithParamInterface<BlockCase> {};

TEST_P(SessionRequestBlock, FillsTypeOidBufferLengthAndZeroCounters) {
  const BlockCase& c = GetParam();
  library.rids[0xFD02] = RecordingLibrary::rid_words({0, 1, 2, 3});
  open_and_forget_requests();
  EXPECT_TRUE(c.op(session));
  ASSERT_FALSE(library.requests.empty());
  const SentRequest& sent = library.requests.back();
  EXPECT_EQ(sent.handle, RecordingLibrary::kHandle);
  EXPECT_EQ(sent.type, c.type);
  EXPECT_EQ(sent.oid, c.oid);
  EXPECT_EQ(sent.has_buffer, c.has_buffer);
  EXPECT_EQ(sent.length, c.length);
  EXPECT_EQ(sent.counters[0], 0u);
  EXPECT_EQ(sent.counters[1], 0u);
  EXPECT_EQ(sent.wait, 1u);
  EXPECT_EQ(sent.event, session.overlapped.event);
}

TEST_P(SessionRequestBlock, FailsOnAClosedAdapterWithoutSending) {
  EXPECT_FALSE(GetParam().op(session));
  EXPECT_TRUE(library.requests.empty());
  EXPECT_TRUE(library.calls.empty());
}

TEST_P(SessionRequestBlock, FailsOnANonZeroStatus) {
  const BlockCase& c = GetParam();
  library.rids[0xFD02] = RecordingLibrary::rid_words({0, 1, 2, 3});
  open_and_forget_requests();
  library.always[c.oid] = 0xC0000001;
  EXPECT_FALSE(c.op(session));
}

INSTANTIATE_TEST_SUITE_P(Requests, SessionRequestBlock, testing::ValuesIn(kBlockCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, TheOtherOperationsAlsoSendNothingWhenClosed) {
  AuxRecord record = aux(0, 54);
  std::string first = "keep", second = "keep";
  EXPECT_FALSE(session.write_block(record));
  EXPECT_FALSE(session.prepare_write());
  EXPECT_FALSE(session.get_firmware_files(first, second));
  session.read_platform();
  EXPECT_EQ(session.platform_type, 0);
  EXPECT_TRUE(library.requests.empty());
  EXPECT_EQ(first, "keep");
}

// ---- RID records ----

TEST_F(Session, ReadRidSendsTheRidAndNeedsALengthWord) {
  open_and_forget_requests();
  RidRecord record;
  record.set_word(0, 0x7777);
  // The driver answers status 0 without filling the record.
  EXPECT_FALSE(session.read_rid(record, 0xFD20));
  const SentRequest& sent = library.requests.at(0);
  EXPECT_EQ(sent.bytes.size(), 504u);
  EXPECT_EQ(sent.bytes[0] | sent.bytes[1] << 8, 0) << "length word cleared before the query";
  EXPECT_EQ(sent.rid(), 0xFD20);

  library.rids[0xFD20] = RecordingLibrary::rid_words({0, 7, 1, 0});
  ASSERT_TRUE(session.read_rid(record, 0xFD20));
  EXPECT_EQ(record.length(), 5);
  EXPECT_EQ(record.data_word(1), 7);

  library.statuses[0xFF010181] = {0xC0000001};
  EXPECT_FALSE(session.read_rid(record, 0xFD20)) << "a filled record with a failing status";
}

// ---- probe ----

TEST_F(Session, ProbeWarnsOnlyWhenTheDriverLacksTheRequest) {
  open_and_forget_requests();
  library.statuses[0xFF010183] = {0xC0000001, 0xC0010017};
  EXPECT_FALSE(session.probe());
  EXPECT_TRUE(fake.boxes.calls.empty());
  std::uint8_t buffer[8] = {0, 0, 9, 9, 9, 9, 9, 9};
  EXPECT_FALSE(session.probe(buffer));
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].text, kIncompatibleDriverText);
  EXPECT_EQ(fake.boxes.calls[0].caption, "Incompatible Driver Error");
  EXPECT_EQ(fake.boxes.calls[0].style, 0x30u);
  EXPECT_EQ(fake.boxes.calls[0].owner, platform::BoxOwner::MainWindow);
  EXPECT_EQ(library.requests.at(1).bytes, std::vector<std::uint8_t>(buffer, buffer + 8));
  EXPECT_TRUE(session.probe());
  EXPECT_EQ(fake.boxes.calls.size(), 1u);
}

// ---- aux reads ----

TEST_F(Session, AuxReadEnablesTheAuxPortClampsTheLengthAndMarksTheData) {
  open_and_forget_requests();
  AuxRecord record = aux(0x7F0000, 3000);
  library.memory[0x7F0000] = {0x11, 0x22, 0x33};
  ASSERT_TRUE(session.aux_read(record));

  EXPECT_EQ(library.oids(), (std::vector<std::uint32_t>{0xFF010184, 0xFF010186}));
  const SentRequest& read = library.requests.at(1);
  EXPECT_EQ(read.length, 2048u);
  EXPECT_EQ(read.aux_length(), 2042);
  EXPECT_EQ(read.bytes[6], 0xDE);
  EXPECT_EQ(read.bytes[7], 0xAD);
  EXPECT_EQ(record.length(), 2042) << "the clamp stays in the caller's record";
  EXPECT_EQ(record.data()[0], 0x11);
  EXPECT_EQ(record.data()[2], 0x33);
  EXPECT_EQ(record.data()[3], 0xFF);

  library.always[0xFF010184] = 0xC0000001;
  EXPECT_TRUE(session.aux_read(record)) << "a refused enable-aux does not stop the read";
}

struct ReadAddressCase {
  std::uint16_t platform_type;
  std::uint32_t address;
  std::uint32_t sent;
};

TEST_F(Session, AuxReadClearsBits17And18OnlyOnPlatformTypeOneAndRestoresThem) {
  open_and_forget_requests();
  for (const ReadAddressCase c : {ReadAddressCase{1, 0x803F0000, 0x80390000},
                                  ReadAddressCase{1, 0x3F0000, 0x390000},
                                  ReadAddressCase{2, 0x803F0000, 0x803F0000},
                                  ReadAddressCase{0xFFFF, 0x7F0000, 0x7F0000}}) {
    session.platform_type = c.platform_type;
    AuxRecord record = aux(c.address, 4);
    library.requests.clear();
    EXPECT_TRUE(session.aux_read(record));
    EXPECT_EQ(library.requests.back().aux_address(), c.sent) << std::hex << c.address;
    EXPECT_EQ(record.address(), c.address) << std::hex << c.address;
  }
}

// ---- aux writes ----

struct SplitCase {
  std::uint16_t length;
  std::vector<std::uint32_t> buffer_lengths;
};

class AuxWriteSplit : public Session, public testing::WithParamInterface<SplitCase> {};

TEST_P(AuxWriteSplit, SplitsOnlyFiftyFourToFiftySixBytes) {
  const SplitCase& c = GetParam();
  open_and_forget_requests();
  AuxRecord record = aux(0x7E0000, c.length);
  ASSERT_TRUE(session.aux_write(record));
  ASSERT_EQ(library.requests.size(), c.buffer_lengths.size());
  std::vector<std::uint8_t> data;
  for (std::size_t i = 0; i < library.requests.size(); ++i) {
    const SentRequest& sent = library.requests[i];
    EXPECT_EQ(sent.oid, 0xFF01018Cu);
    EXPECT_EQ(sent.length, c.buffer_lengths[i]);
    EXPECT_EQ(sent.aux_length() + 6u, sent.length);
    EXPECT_EQ(sent.aux_address(), 0x7E0000u + data.size()) << "each part at its own bytes";
    data.insert(data.end(), sent.bytes.begin() + 6, sent.bytes.end());
  }
  EXPECT_EQ(data, std::vector<std::uint8_t>(record.data(), record.data() + c.length));
}

INSTANTIATE_TEST_SUITE_P(Lengths, AuxWriteSplit,
                         testing::Values(SplitCase{0, {6}}, SplitCase{53, {59}},
                                         SplitCase{54, {36, 30}}, SplitCase{55, {36, 31}},
                                         SplitCase{56, {36, 32}}, SplitCase{57, {63}},
                                         SplitCase{2042, {2048}}),
                         [](const auto& info) { return std::to_string(info.param.length); });

TEST_F(Session, AuxWriteStopsWhenTheFirstPartFails) {
  open_and_forget_requests();
  library.statuses[0xFF01018C] = {0xC0000001};
  AuxRecord record = aux(0, 54);
  EXPECT_FALSE(session.aux_write(record));
  EXPECT_EQ(library.requests.size(), 1u);
  library.statuses[0xFF01018C] = {0, 0xC0000001};
  EXPECT_FALSE(session.aux_write(record)) << "the second part decides";
}

TEST_F(Session, AuxWriteRefusesALengthBeyondTheRecord) {
  open_and_forget_requests();
  AuxRecord record = aux(0, kMaxChunk + 1);
  EXPECT_FALSE(session.aux_write(record));
  EXPECT_TRUE(library.requests.empty()) << "the driver would read past the 2048 bytes";
}

struct RetryCase {
  const char* name;
  std::uint16_t length;
  std::deque<std::uint32_t> statuses;
  bool ok;
  std::size_t requests;
};

void PrintTo(const RetryCase& c, std::ostream* out) { *out << c.name; }

class WriteBlockRetry : public Session, public testing::WithParamInterface<RetryCase> {};

TEST_P(WriteBlockRetry, TriesOnceMoreAtOnce) {
  const RetryCase& c = GetParam();
  open_and_forget_requests();
  library.statuses[0xFF01018C] = c.statuses;
  AuxRecord record = aux(0x7E0000, c.length);
  EXPECT_EQ(session.write_block(record), c.ok);
  EXPECT_EQ(library.requests.size(), c.requests);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteBlockRetry,
    testing::Values(RetryCase{"FirstTimeWritesOnce", 100, {}, true, 1},
                    RetryCase{"RetrySucceeds", 100, {0xC0000001}, true, 2},
                    RetryCase{"FailsTwice", 100, {0xC0000001, 0xC0000001}, false, 2},
                    RetryCase{"SplitRetriedWhole", 54, {0, 0xC0000001}, true, 4},
                    RetryCase{"SplitFailingTwice", 55, {0xC0000001, 0xC0000001}, false, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The platform layout ----

struct PlatformCase {
  const char* name;
  std::optional<std::uint16_t> word;  // none: the read fails
  std::uint16_t platform_type;
  std::uint32_t pda_address;
};

void PrintTo(const PlatformCase& c, std::ostream* out) { *out << c.name; }

class ReadPlatform : public Session, public testing::WithParamInterface<PlatformCase> {};

TEST_P(ReadPlatform, SetsTypeAndPdaAddress) {
  const PlatformCase& c = GetParam();
  if (c.word) library.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0x15, 0, *c.word});
  open_and_forget_requests();
  session.platform_type = 7;
  session.pda_address = 7;
  session.read_platform();
  EXPECT_EQ(session.platform_type, c.platform_type);
  EXPECT_EQ(session.pda_address, c.pda_address);
  session.close();
  EXPECT_EQ(session.platform_type, c.platform_type) << "kept across close";
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadPlatform,
                         testing::Values(PlatformCase{"Type1", 1, 1, 0x3F0000},
                                         PlatformCase{"Type2", 2, 2, 0x7F0000},
                                         PlatformCase{"Type3", 3, 0xFFFF, 0},
                                         PlatformCase{"Type0", 0, 0xFFFF, 0},
                                         PlatformCase{"ReadFails", std::nullopt, 0xFFFF, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, DriverVersionAndAddressComeFromTheirBuffers) {
  library.driver_version = 0x80010203;
  open_and_forget_requests();
  EXPECT_EQ(session.get_driver_version(), 0x80010203u);
  std::uint8_t mac[6] = {};
  ASSERT_TRUE(session.get_permanent_address(mac));
  EXPECT_EQ(std::vector<std::uint8_t>(mac, mac + 6),
            (std::vector<std::uint8_t>{0x00, 0x90, 0x4B, 0x12, 0x34, 0x56}));
  library.always[0x00010116] = 0xC0000001;
  EXPECT_EQ(session.get_driver_version(), 0u);
}

}  // namespace
}  // namespace devov::test
