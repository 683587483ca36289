// Flash programming against a recording library: the control write, the
// order of a write run, its chunks, its failures and questions, the PDA
// block, and the main dialog's programming of one image with its progress
// display in both modes.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "adapter/progress_bar.h"
#include "adapter/requests.h"
#include "firmware/firmware_image.h"
#include "production/pda_list.h"
#include "resources/resource_ids.h"
#include "shell/run_options.h"
#include "tests/adapter/adapter_fixture.h"

namespace devov::test {
namespace {

constexpr std::uint32_t kEnableAux = 0xFF010184;
constexpr std::uint32_t kAuxWrite = 0xFF01018C;
constexpr std::uint32_t kControlWrite = 0xFF01018B;
constexpr std::uint32_t kBlock = 0xFF010187;
constexpr std::uint32_t kProbe = 0xFF010183;
constexpr std::uint32_t kFailure = 0xC0000001;

std::vector<std::uint8_t> pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return bytes;
}

void add_segment(FirmwareImage& image, std::uint32_t address, std::size_t count,
                 std::uint8_t seed = 0) {
  const auto bytes = pattern(count, seed);
  ASSERT_TRUE(image.append(bytes.data(), address, static_cast<std::uint16_t>(count)));
}

// A progress bar that records its calls.
struct RecordingBar : ProgressBar {
  void set_range(int low, int high) override {
    calls.push_back("range " + std::to_string(low) + " " + std::to_string(high));
  }
  void set_position(int position) override {
    calls.push_back("position " + std::to_string(position));
  }
  std::vector<std::string> calls;
};

struct Block {
  std::uint32_t address;
  std::uint32_t buffer_length;
  bool operator==(const Block&) const = default;
};

void PrintTo(const Block& b, std::ostream* out) {
  *out << std::hex << "{0x" << b.address << ", " << std::dec << b.buffer_length << "}";
}

class Programming : public AdapterTest {
 protected:
  Programming() {
    add_one_adapter();
    library.rids[0xFD04] = RecordingLibrary::rid_words({0, 0, 2});
    testing::internal::CaptureStdout();
    EXPECT_TRUE(session.open(0, true));
    testing::internal::GetCapturedStdout();
    library.requests.clear();
    library.calls.clear();
  }

  // The aux writes that carry data, in order.
  std::vector<Block> blocks() const {
    std::vector<Block> found;
    for (const auto& r : library.requests_of(kAuxWrite))
      if (r.aux_length() != 0) found.push_back({r.aux_address(), r.length});
    return found;
  }

  // The data bytes the aux writes carried, by address.
  std::vector<std::uint8_t> written_at(std::uint32_t address, std::size_t count) const {
    std::vector<std::uint8_t> bytes(count, 0);
    for (const auto& r : library.requests_of(kAuxWrite))
      for (std::size_t i = 0; i < r.aux_length(); ++i) {
        const std::uint32_t at = r.aux_address() + static_cast<std::uint32_t>(i);
        if (at >= address && at < address + count) bytes[at - address] = r.bytes[6 + i];
      }
    return bytes;
  }

  AdapterSession session;
  FirmwareImage image;
  RecordingBar bar;
};

// ---- prepare_write ----

struct PrepareCase {
  std::uint16_t platform_type;
  std::uint32_t control_address;
};

class PrepareWrite : public Programming, public testing::WithParamInterface<PrepareCase> {};

TEST_P(PrepareWrite, SendsEnableAuxAnEmptyWriteAndTheControlWriteThenWaits) {
  session.platform_type = GetParam().platform_type;
  EXPECT_TRUE(session.prepare_write());
  EXPECT_EQ(library.oids(), (std::vector<std::uint32_t>{kEnableAux, kAuxWrite, kControlWrite}));
  const SentRequest& empty = library.requests.at(1);
  EXPECT_EQ(empty.length, 6u);
  EXPECT_EQ(empty.aux_address(), 0u);
  EXPECT_EQ(empty.aux_length(), 0u);
  const SentRequest& control = library.requests.at(2);
  EXPECT_EQ(control.type, 1u);
  EXPECT_EQ(control.length, 8u);
  EXPECT_EQ(control.aux_address(), GetParam().control_address);
  EXPECT_EQ(control.aux_length(), 2u);
  EXPECT_EQ(control.bytes[6], 0x00);
  EXPECT_EQ(control.bytes[7], 0xE1);
  EXPECT_EQ(fake.clock.sleeps, (std::vector<std::uint32_t>{5}));
}

INSTANTIATE_TEST_SUITE_P(Platforms, PrepareWrite,
                         testing::Values(PrepareCase{1, 0x1FEE66}, PrepareCase{2, 0x7FDE66},
                                         PrepareCase{0xFFFF, 0x7FDE66}));

TEST_F(Programming, PrepareWriteAnswersOnlyForTheControlWrite) {
  library.statuses[kEnableAux] = {kFailure};
  library.statuses[kAuxWrite] = {kFailure};
  EXPECT_TRUE(session.prepare_write());
  library.statuses[kControlWrite] = {kFailure};
  EXPECT_FALSE(session.prepare_write());
}

// ---- write_flash ----

TEST_F(Programming, WriteRunBlocksEnablesPreparesThenWritesChunksInOrder) {
  add_segment(image, 0x7E1800, 5000);
  std::vector<int> flushes_at_block;
  library.answer = [&](const SentRequest& r) -> std::optional<std::uint32_t> {
    if (r.oid == kAuxWrite && r.aux_length() != 0) flushes_at_block.push_back(fake.process.flushes);
    return std::nullopt;
  };

  EXPECT_TRUE(session.write_flash(image, &bar, false));

  EXPECT_EQ(library.oids(),
            (std::vector<std::uint32_t>{kBlock, kEnableAux, kEnableAux, kAuxWrite, kControlWrite,
                                        kAuxWrite, kAuxWrite, kAuxWrite}));
  EXPECT_EQ(blocks(), (std::vector<Block>{{0x7E1800, 2048}, {0x7E1FFA, 2048}, {0x7E27F4, 922}}));
  EXPECT_EQ(written_at(0x7E1800, 5000), pattern(5000, 0));
  EXPECT_EQ(bar.calls, (std::vector<std::string>{"range 0 3", "position 1", "position 0",
                                                 "position 1", "position 2", "position 3"}));
  EXPECT_EQ(fake.events.resets, 1);
  EXPECT_EQ(flushes_at_block, (std::vector<int>{1, 1, 1})) << "flushed before the first block";
  EXPECT_EQ(fake.process.flushes, 2) << "and after the last";
  EXPECT_EQ(fake.clock.sleeps, (std::vector<std::uint32_t>{5})) << "no wait between blocks";
  EXPECT_TRUE(fake.boxes.calls.empty());
}

TEST_F(Programming, ChunksNeverCrossA64KiBBoundaryAndFollowTheSegmentOrder) {
  add_segment(image, 0x7F1000, 10, 1);
  add_segment(image, 0x7EFFC0, 100, 2);
  add_segment(image, 0x7E0000, 2042 + 54, 3);
  EXPECT_TRUE(session.write_flash(image, &bar, false));
  EXPECT_EQ(blocks(), (std::vector<Block>{{0x7F1000, 16},
                                          {0x7EFFC0, 70},
                                          {0x7F0000, 42},
                                          {0x7E0000, 2048},
                                          {0x7E07FA, 36},
                                          {0x7E0818, 30}}))
      << "a last block of 54 bytes goes as 30 and 24";
  EXPECT_EQ(written_at(0x7EFFC0, 100), pattern(100, 2));
  EXPECT_EQ(bar.calls.front(), "range 0 5");
  EXPECT_EQ(bar.calls.back(), "position 5");
}

TEST_F(Programming, WithoutAProgressBarNothingIsCounted) {
  add_segment(image, 0x7E0000, 10);
  EXPECT_TRUE(session.write_flash(image, nullptr, false));
  EXPECT_EQ(blocks().size(), 1u);
}

struct SetupFailure {
  const char* name;
  std::uint32_t failing_oid;
  const char* first_text;
  std::vector<std::uint32_t> oids;
};

void PrintTo(const SetupFailure& c, std::ostream* out) { *out << c.name; }

class WriteSetupFailure : public Programming, public testing::WithParamInterface<SetupFailure> {};

TEST_P(WriteSetupFailure, ShowsExactlyTwoMessagesAndWritesNothing) {
  const SetupFailure& c = GetParam();
  add_segment(image, 0x7E0000, 100);
  library.always[c.failing_oid] = kFailure;
  EXPECT_FALSE(session.write_flash(image, &bar, true));
  EXPECT_EQ(library.oids(), c.oids);
  ASSERT_EQ(fake.boxes.calls.size(), 2u);
  EXPECT_EQ(fake.boxes.calls[0].text, c.first_text);
  EXPECT_EQ(fake.boxes.calls[0].caption, "Setup Error");
  EXPECT_EQ(fake.boxes.calls[1].text, "Update not attempted.");
  EXPECT_EQ(fake.boxes.calls[1].caption, "Card Communication Failed");
  for (const auto& box : fake.boxes.calls) {
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(box.owner, platform::BoxOwner::MainWindow);
  }
  EXPECT_EQ(fake.process.flushes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteSetupFailure,
    testing::Values(SetupFailure{"BlockProtocols", kBlock, "Attempt to block protocols failed.",
                                 {kBlock}},
                    SetupFailure{"EnableAux", kEnableAux, "Enable Aux failed.",
                                 {kBlock, kEnableAux}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BlockFailure {
  const char* name;
  bool ask_on_error;
  bool quiet;
  std::deque<int> answers;
  std::vector<std::uint32_t> addresses;  // of the block writes sent, retries included
  std::size_t questions;
  std::string last_position;
};

void PrintTo(const BlockFailure& c, std::ostream* out) { *out << c.name; }

class WriteBlockFailure : public Programming, public testing::WithParamInterface<BlockFailure> {};

// Three blocks; the second fails twice, and so does the third.
TEST_P(WriteBlockFailure, StopsOrAsksAsToldAndReportsFailure) {
  const BlockFailure& c = GetParam();
  run_options().quiet = c.quiet;
  add_segment(image, 0x7E0000, 3 * 2042);
  fake.boxes.answers = c.answers;
  library.answer = [](const SentRequest& r) -> std::optional<std::uint32_t> {
    if (r.oid == kAuxWrite && r.aux_address() >= 0x7E07FA) return kFailure;
    return std::nullopt;
  };
  EXPECT_FALSE(session.write_flash(image, &bar, c.ask_on_error));
  std::vector<std::uint32_t> addresses;
  for (const auto& b : blocks()) addresses.push_back(b.address);
  EXPECT_EQ(addresses, c.addresses);
  EXPECT_EQ(fake.boxes.calls.size(), c.questions);
  for (const auto& box : fake.boxes.calls) {
    EXPECT_EQ(box.text, "Error programming block. Continue anyway?");
    EXPECT_EQ(box.caption, "Programming error.");
    EXPECT_EQ(box.style, 4u);
    EXPECT_EQ(box.owner, platform::BoxOwner::MainWindow);
  }
  EXPECT_EQ(bar.calls.back(), c.last_position);
  EXPECT_EQ(fake.process.flushes, 2);
}

const std::vector<std::uint32_t> kUpToSecond = {0x7E0000, 0x7E07FA, 0x7E07FA};
const std::vector<std::uint32_t> kAllThree = {0x7E0000, 0x7E07FA, 0x7E07FA, 0x7E0FF4, 0x7E0FF4};

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteBlockFailure,
    testing::Values(BlockFailure{"WithoutQuestionStops", false, false, {}, kUpToSecond, 0,
                                 "position 1"},
                    BlockFailure{"NoStops", true, false, {7}, kUpToSecond, 1, "position 1"},
                    BlockFailure{"YesGoesOnAndAsksAgain", true, false, {6, 6}, kAllThree, 2,
                                 "position 3"},
                    BlockFailure{"QuietAnswersCancel", true, true, {}, kUpToSecond, 0,
                                 "position 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Programming, QuietQuestionIsLoggedAndAnsweredWithCancel) {
  run_options().quiet = true;
  add_segment(image, 0x7E0000, 10);
  library.always[kAuxWrite] = kFailure;
  EXPECT_FALSE(session.write_flash(image, nullptr, true));
  EXPECT_EQ(log_text(), "Programming error.:Error programming block. Continue anyway?\n");
}

TEST_F(Programming, ARetriedBlockCountsAsWritten) {
  add_segment(image, 0x7E0000, 3 * 2042);
  library.statuses[kAuxWrite] = {0, 0, 0, kFailure};
  EXPECT_TRUE(session.write_flash(image, &bar, false));
  EXPECT_EQ(blocks().size(), 4u);
}

// ---- write_pda ----

TEST_F(Programming, WritePdaSendsOneBlockOfTheSerialisedRecordsAtThePdaAddress) {
  // 20 record words: 5 + 7 + 8.
  PdaList list;
  const std::vector<std::vector<std::uint16_t>> records = {
      {4, 0x0101, 0x9000, 0x124B, 0x5634},
      {6, 0x0003, 1, 2, 3, 4, 5},
      {7, 0x0103, 1, 2, 3, 4, 5, 6}};
  for (const auto& r : records) list.put(r.data());
  std::uint16_t expected[kPdaSerialisedMaxWords];
  ASSERT_EQ(list.serialise(expected), 23);

  EXPECT_TRUE(session.write_pda(list));

  EXPECT_EQ(library.oids(),
            (std::vector<std::uint32_t>{kEnableAux, kAuxWrite, kControlWrite, kBlock, kProbe,
                                        kEnableAux, kAuxWrite, kProbe}));
  EXPECT_EQ(blocks(), (std::vector<Block>{{0x7F0000, 52}}));
  const SentRequest& block = library.requests.at(6);
  EXPECT_EQ(block.aux_length(), 46);
  for (int i = 0; i < 23; ++i)
    EXPECT_EQ(block.bytes[6 + 2 * i] | block.bytes[7 + 2 * i] << 8, expected[i]) << i;
  EXPECT_EQ(library.requests.at(4).bytes, std::vector<std::uint8_t>(8, 0));
  EXPECT_EQ(fake.events.resets, 1);
}

TEST_F(Programming, WritePdaIgnoresTheSetUpRequestsAndAnswersForTheBlock) {
  PdaList list;
  library.always[kBlock] = kFailure;
  library.always[kProbe] = kFailure;
  library.always[kControlWrite] = kFailure;
  EXPECT_TRUE(session.write_pda(list));
  EXPECT_EQ(blocks(), (std::vector<Block>{{0x7F0000, 12}})) << "an empty list: its end record";
  library.always[kAuxWrite] = kFailure;
  EXPECT_FALSE(session.write_pda(list));
}

TEST_F(Programming, WritePdaOfAListBeyondTheLimitWritesAnEmptyBlock) {
  PdaList list;
  std::vector<std::uint16_t> record(101, 0);
  for (std::uint16_t code = 1; code <= 6; ++code) {
    record[0] = 100;
    record[1] = code;
    list.put(record.data());
  }
  EXPECT_TRUE(session.write_pda(list));
  const auto writes = library.requests_of(kAuxWrite);
  EXPECT_EQ(writes.back().aux_address(), 0x7F0000u);
  EXPECT_EQ(writes.back().length, 6u);
}

TEST_F(Programming, TheWritesFailOnAClosedAdapterWithoutSending) {
  session.close();
  library.requests.clear();
  PdaList list;
  add_segment(image, 0x7E0000, 10);
  EXPECT_FALSE(session.write_flash(image, &bar, false));
  EXPECT_FALSE(session.write_pda(list));
  EXPECT_TRUE(library.requests.empty());
  EXPECT_TRUE(bar.calls.empty());
  EXPECT_EQ(fake.events.resets, 0);
}

// ---- program_image ----

class ProgramImage : public DialogTest {
 protected:
  ProgramImage() {
    add_one_adapter();
    library.rids[0xFD04] = RecordingLibrary::rid_words({0, 0, 2});
    view.add_list_string(IDC_ADAPTER_LIST, "Velk 6271 Wireless USB Adapter");
    view.select_list_item(IDC_ADAPTER_LIST, 0);
  }

  void open() {
    ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, true); }));
    library.requests.clear();
  }

  bool program(bool is_station = false) {
    return dialog.program_image(image, is_station, "1.5.3", "c:\\fw\\SU010503.HEX");
  }

  FirmwareImage image;
};

TEST_F(ProgramImage, RefusesAClosedAdapter) {
  add_segment(image, 0x7E0000, 10);
  EXPECT_FALSE(program());
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].text, "Error: Adapter is not open.");
  EXPECT_EQ(fake.boxes.calls[0].caption, std::nullopt);
  EXPECT_EQ(fake.boxes.calls[0].style, 0u);
  EXPECT_EQ(fake.boxes.calls[0].owner, platform::BoxOwner::MainDialog);
  EXPECT_TRUE(library.requests.empty());
  EXPECT_TRUE(fake.progress.calls.empty());
}

TEST_F(ProgramImage, RefusesAnImageWithAStartAddressBeforeAnyRequest) {
  open();
  add_segment(image, 0x3E0000, 10);
  image.start_address = 0x3F0000;
  image.has_start_address = true;
  const std::string status = view.text(IDC_STATUS_BOX);
  EXPECT_FALSE(program());
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].text, "Sorry, RAM downloads are not supported.");
  EXPECT_EQ(fake.boxes.calls[0].caption, "Cannot Continue");
  EXPECT_EQ(fake.boxes.calls[0].style, 0x10u);
  EXPECT_EQ(fake.boxes.calls[0].owner, platform::BoxOwner::MainDialog);
  EXPECT_TRUE(library.requests.empty());
  EXPECT_TRUE(fake.progress.calls.empty());
  EXPECT_EQ(view.text(IDC_STATUS_BOX), status);
  EXPECT_EQ(new_log(), "Cannot Continue:Sorry, RAM downloads are not supported.\n");
}

TEST_F(ProgramImage, InteractiveRunAdvancesTheMainDialogsBarAndKeepsTheWindowHidden) {
  open();
  add_segment(image, 0x7E1800, 5000);
  EXPECT_TRUE(program(true));

  EXPECT_EQ(new_log(),
            "Updating flash\n"
            "Adapter: Velk 6271 Wireless USB Adapter \n"
            "Station Firmware: Rev 1.5.3 from c:\\fw\\SU010503.HEX \n"
            "Update Successful!\n");
  const platform::ControlState& bar = *view.control(IDC_PROGRESS);
  EXPECT_EQ(bar.progress_low, 0);
  EXPECT_EQ(bar.progress_high, 3);
  EXPECT_EQ(bar.progress_position, 3);
  EXPECT_EQ(fake.progress.calls, (std::vector<std::string>{"create", "hide_caret 1033", "destroy"}));
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update Successful!");
  EXPECT_EQ(view.cursor(), platform::CursorShape::Arrow);
  EXPECT_TRUE(view.dialog_visible());
  EXPECT_TRUE(view.dialog_enabled());
  EXPECT_TRUE(dialog.adapter.is_open()) << "the caller closes";
}

TEST_F(ProgramImage, InteractiveFailureStopsAtTheFirstBadBlockWithoutAQuestion) {
  open();
  add_segment(image, 0x7E0000, 5000);
  library.always[kAuxWrite] = kFailure;
  EXPECT_FALSE(program());
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update FAILED");
  EXPECT_EQ(new_log(),
            "Updating flash\n"
            "Adapter: Velk 6271 Wireless USB Adapter \n"
            "Primary Firmware: Rev 1.5.3 from c:\\fw\\SU010503.HEX \n"
            "Update FAILED\n");
}

TEST_F(ProgramImage, QuietRunShowsTheProgressWindowAndHidesTheDialog) {
  run_options().quiet = true;
  open();
  add_segment(image, 0x7E1800, 5000);
  library.answer = [&](const SentRequest& r) -> std::optional<std::uint32_t> {
    if (r.oid == kAuxWrite && r.aux_length() != 0) {
      EXPECT_EQ(view.cursor(), platform::CursorShape::Wait) << "during the write";
    }
    return std::nullopt;
  };
  EXPECT_TRUE(program(true));

  EXPECT_EQ(fake.progress.calls,
            (std::vector<std::string>{
                "create", "hide_caret 1033", "center", "show",
                "text 1057 Adapter: Velk 6271 Wireless USB Adapter ",
                "text 1058 Station Firmware: Rev 1.5.3 from c:\\fw\\SU010503.HEX ", "paint",
                "text 1033 Flash update in progress.  Please wait.", "hide_caret 1033", "paint",
                "range 1035 0 3", "position 1035 1", "position 1035 0", "position 1035 1",
                "position 1035 2", "position 1035 3", "destroy"}));
  EXPECT_FALSE(view.dialog_visible());
  EXPECT_FALSE(view.dialog_enabled());
  EXPECT_EQ(view.cursor(), platform::CursorShape::Wait) << "quiet mode leaves it";
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_position, 0) << "the main bar is not used";
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update Successful!");
}

TEST_F(ProgramImage, QuietFailurePutsTheQuestionWhichCancels) {
  run_options().quiet = true;
  open();
  add_segment(image, 0x7E0000, 5000);
  library.always[kAuxWrite] = kFailure;
  EXPECT_FALSE(program());
  EXPECT_NE(new_log().find("Programming error.:Error programming block. Continue anyway?\n"
                           "Update FAILED\n"),
            std::string::npos)
      << new_log();
  EXPECT_EQ(library.requests_of(kAuxWrite).size(), 1u + 2u) << "the empty write and one block twice";
}

}  // namespace
}  // namespace devov::test
