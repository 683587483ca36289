// Adapter access end to end against the emulator: discovery over the
// registry each layout writes, detection and selection, image and PDA writes
// checked in the adapter's trace and flash, and the identity reads with the
// faults the emulator injects.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "adapter/requests.h"
#include "firmware/firmware_image.h"
#include "production/pda_list.h"
#include "resources/resource_ids.h"
#include "tests/adapter/end_to_end_fixture.h"

namespace devov::test {
namespace {

using emulator::AdapterDescription;

constexpr const char* kName = "default";

std::vector<std::uint8_t> pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  return bytes;
}

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::uint32_t at,
                                std::size_t count) {
  if (bytes.size() < at + count) return {};
  return std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + count);
}

struct Write {
  std::uint32_t address;
  std::uint32_t length;
  bool operator==(const Write&) const = default;
};

void PrintTo(const Write& w, std::ostream* out) {
  *out << std::hex << "{0x" << w.address << ", " << std::dec << w.length << "}";
}

std::vector<Write> writes_of(const std::vector<TraceLine>& lines) {
  std::vector<Write> writes;
  for (const auto& line : lines) writes.push_back({line.address.value_or(0), line.length});
  return writes;
}

AdapterDescription named(const std::string& display_name) {
  AdapterDescription d;
  d.display_name = display_name;
  return d;
}

// ---- Discovery over each layout's registry ----

struct HostCase {
  const char* name;
  const char* os_family;
  std::uint32_t os_major;
};

void PrintTo(const HostCase& c, std::ostream* out) { *out << c.name; }

class EndToEndLayout : public EndToEnd, public testing::WithParamInterface<HostCase> {};

TEST_P(EndToEndLayout, FindsOpensAndSelectsTheAdapter) {
  make_host(GetParam().os_family, GetParam().os_major);
  add(kName);
  start();
  detect();

  ASSERT_TRUE(dialog.adapter_selected) << new_log();
  EXPECT_EQ(dialog.adapter_name, "Velk 6271 Wireless USB Adapter");
  EXPECT_EQ(dialog.adapter_mac_text, "00-90-4B-62-71-01");
  EXPECT_EQ(dialog.serial_number_text, "VLK627100001");
  EXPECT_EQ(dialog.part_number_text, "6271-USB-A2");
  EXPECT_NE(new_log().find("  Current firmware version: Primary: 1.1.3   Station: 1.4.0\n"
                           "  Current firmware files: PU010103.HEX    SU010400.HEX\n"
                           "End Select Adapter: Appropriate adapter found!\n\n"),
            std::string::npos)
      << new_log();
  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_EQ(fake.registry_calls.opened, fake.registry_calls.closed);
}

INSTANTIATE_TEST_SUITE_P(Hosts, EndToEndLayout,
                         testing::Values(HostCase{"Windows98", "9x", 4},
                                         HostCase{"Nt4", "nt", 4}, HostCase{"Xp", "nt", 5},
                                         HostCase{"Vista", "nt", 6}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Detection ----

struct DetectCase {
  const char* name;
  std::vector<AdapterDescription> adapters;
  std::vector<std::string> listed;
  bool selected;
};

void PrintTo(const DetectCase& c, std::ostream* out) { *out << c.name; }

AdapterDescription refusing_aux(const std::string& display_name) {
  AdapterDescription d = named(display_name);
  d.enable_aux_accepted = false;
  return d;
}

// A device of its own model: the scan looks at every instance of a model.
AdapterDescription disabled(const std::string& display_name) {
  AdapterDescription d = named(display_name);
  d.matching_device_id = "usb\\vid_6271&pid_0002";
  d.disabled = true;
  return d;
}

class Detection : public EndToEnd, public testing::WithParamInterface<DetectCase> {};

TEST_P(Detection, KeepsTheAdaptersThatOpenAndSelectsOnlyASingleOne) {
  const DetectCase& c = GetParam();
  make_host();
  for (std::size_t i = 0; i < c.adapters.size(); ++i)
    add("a" + std::to_string(i), c.adapters[i]);
  start();
  detect();

  std::vector<std::string> listed;
  for (int i = 0; i < view.list_count(IDC_ADAPTER_LIST); ++i)
    listed.push_back(view.list_text(IDC_ADAPTER_LIST, i));
  EXPECT_EQ(listed, c.listed);
  EXPECT_EQ(dialog.adapter_selected, c.selected);
  EXPECT_EQ(new_log().find("Select Adapter: ") != std::string::npos, c.selected);
  EXPECT_FALSE(dialog.adapter.is_open());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Detection,
    testing::Values(DetectCase{"TwoSelectNeither", {named("One"), named("Two")}, {"One", "Two"},
                               false},
                    DetectCase{"OneIsSelected", {named("One")}, {"One"}, true},
                    DetectCase{"ADriverOfAnotherKindIsDropped",
                               {refusing_aux("Other"), named("Ours")}, {"Ours"}, true},
                    DetectCase{"ADisabledDeviceIsDropped", {named("One"), disabled("Off")},
                               {"One"}, true},
                    DetectCase{"NoneLeft", {refusing_aux("Other")}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Writing an image ----

class ImageWrite : public EndToEnd {
 protected:
  void SetUp() override {
    make_host();
    add(kName, description);
    start();
    detect();
    ASSERT_TRUE(dialog.adapter_selected);
    ASSERT_TRUE(quietly([&] { return dialog.open_selected(true); }));
    clear_trace(kName);
  }

  void segment(std::uint32_t address, std::size_t count, std::uint8_t seed) {
    const auto bytes = pattern(count, seed);
    ASSERT_TRUE(image.append(bytes.data(), address, static_cast<std::uint16_t>(count)));
  }

  bool program() { return dialog.program_image(image, true, "1.5.3", "SU010503.HEX"); }

  AdapterDescription description;
  FirmwareImage image;
};

TEST_F(ImageWrite, FiveThousandBytesGoAsThreeBlocksAfterTheSetUp) {
  segment(0x7E1800, 5000, 1);
  EXPECT_TRUE(program());

  std::vector<std::string> order;
  for (const auto& line : trace(kName))
    if (line.kind == "request") {
      char text[32];
      std::snprintf(text, sizeof text, "%08X %u", line.oid, line.length);
      order.push_back(text);
    }
  EXPECT_EQ(order, (std::vector<std::string>{"FF010187 0", "FF010184 0", "FF010184 0",
                                             "FF01018C 6", "FF01018B 8", "FF01018C 2048",
                                             "FF01018C 2048", "FF01018C 922"}));
  EXPECT_EQ(writes_of(block_writes(kName)),
            (std::vector<Write>{{0x7E1800, 2048}, {0x7E1FFA, 2048}, {0x7E27F4, 922}}));
  for (const auto& line : trace(kName)) EXPECT_EQ(line.status, 0u) << line.text;
  EXPECT_EQ(slice(flash(kName), 0x7E1800, 5000), pattern(5000, 1));
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_high, 3);
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_position, 3);
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update Successful!");
}

TEST_F(ImageWrite, BlocksSplitAtTheBoundaryAndFiftyFourBytesGoInTwo) {
  segment(0x7EFF00, 512, 2);
  segment(0x100000, 2042 + 54, 3);
  EXPECT_TRUE(program());
  EXPECT_EQ(writes_of(block_writes(kName)), (std::vector<Write>{{0x7EFF00, 262},
                                                                {0x7F0000, 262},
                                                                {0x100000, 2048},
                                                                {0x1007FA, 36},
                                                                {0x100818, 30}}));
  const auto memory = flash(kName);
  EXPECT_EQ(slice(memory, 0x7EFF00, 512), pattern(512, 2));
  EXPECT_EQ(slice(memory, 0x100000, 2096), pattern(2096, 3));
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_high, 4);
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_position, 4);
}

TEST_F(ImageWrite, ARamImageIsRefusedBeforeAnyRequest) {
  segment(0x3E0000, 100, 4);
  image.start_address = 0x3F0000;
  image.has_start_address = true;
  EXPECT_FALSE(program());
  EXPECT_TRUE(trace(kName).empty());
  EXPECT_EQ(fake.boxes.calls.at(0).text, "Sorry, RAM downloads are not supported.");
}

class ImageWriteFault : public ImageWrite {
 protected:
  void SetUp() override {}
  void start_with(const AdapterDescription& d) {
    description = d;
    ImageWrite::SetUp();
  }
};

TEST_F(ImageWriteFault, FailingToBlockTheProtocolsGivesTwoMessagesAndNoWrite) {
  AdapterDescription d;
  d.status_faults.push_back({0xFF010187, 0xC0000001, emulator::FaultWhen::Always, 1});
  start_with(d);
  segment(0x7E1800, 5000, 1);
  EXPECT_FALSE(program());
  ASSERT_EQ(fake.boxes.calls.size(), 2u);
  EXPECT_EQ(fake.boxes.calls[0].text, "Attempt to block protocols failed.");
  EXPECT_EQ(fake.boxes.calls[1].text, "Update not attempted.");
  EXPECT_TRUE(requests(kName, 0xFF01018C).empty());
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update FAILED");
}

TEST_F(ImageWriteFault, ABlockThatFailsOnceIsWrittenByTheRetry) {
  AdapterDescription d;
  d.block_write_fault = emulator::BlockWriteFault::FailOnce;
  d.block_write_fault_at = 2;
  start_with(d);
  segment(0x7E1800, 5000, 1);
  EXPECT_TRUE(program());
  const auto blocks = block_writes(kName);
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_TRUE(blocks[1].faulted);
  EXPECT_EQ(blocks[2].address, blocks[1].address) << "retried at once";
  EXPECT_EQ(slice(flash(kName), 0x7E1800, 5000), pattern(5000, 1));
}

TEST_F(ImageWriteFault, ABlockThatFailsTwiceEndsAnInteractiveWrite) {
  AdapterDescription d;
  d.block_write_fault = emulator::BlockWriteFault::FailTwice;
  d.block_write_fault_at = 2;
  start_with(d);
  segment(0x7E1800, 5000, 1);
  EXPECT_FALSE(program());
  EXPECT_EQ(writes_of(block_writes(kName)),
            (std::vector<Write>{{0x7E1800, 2048}, {0x7E1FFA, 2048}, {0x7E1FFA, 2048}}));
  EXPECT_EQ(slice(flash(kName), 0x7E27F4, 916), std::vector<std::uint8_t>(916, 0xFF));
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Update FAILED");
  EXPECT_EQ(view.control(IDC_PROGRESS)->progress_position, 1);
}

// ---- The PDA ----

struct PdaWriteCase {
  const char* name;
  std::uint16_t platform_type;
  std::uint32_t pda_address;
};

void PrintTo(const PdaWriteCase& c, std::ostream* out) { *out << c.name; }

class PdaWrite : public EndToEnd, public testing::WithParamInterface<PdaWriteCase> {};

TEST_P(PdaWrite, TwentyRecordWordsGoAsOneBlockAndReadBack) {
  AdapterDescription d;
  d.platform_type = GetParam().platform_type;
  make_host();
  add(kName, d);
  start();
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, true); }));
  clear_trace(kName);

  PdaList list;
  const std::vector<std::vector<std::uint16_t>> records = {
      {4, 0x0101, 0x9000, 0x124B, 0x5634},
      {6, 0x0003, 0x4C56, 0x364B, 0x3732, 0x3031, 0x3030},
      {7, 0x0103, 1, 0x10, 3, 4, 5, 6}};
  for (const auto& r : records) list.put(r.data());
  EXPECT_TRUE(dialog.adapter.write_pda(list));
  EXPECT_EQ(writes_of(block_writes(kName)), (std::vector<Write>{{GetParam().pda_address, 52}}));
  EXPECT_EQ(block_writes(kName).at(0).n, 46u);

  PdaList back;
  ASSERT_TRUE(dialog.adapter.read_pda(back));
  std::uint16_t written[kPdaSerialisedMaxWords], read[kPdaSerialisedMaxWords];
  ASSERT_EQ(list.serialise(written), 23);
  ASSERT_EQ(back.serialise(read), 23);
  EXPECT_EQ(std::vector<std::uint16_t>(read, read + 23),
            std::vector<std::uint16_t>(written, written + 23));
}

INSTANTIATE_TEST_SUITE_P(Platforms, PdaWrite,
                         testing::Values(PdaWriteCase{"Type2", 2, 0x7F0000},
                                         PdaWriteCase{"Type1ReadsThroughTheClearedAddress", 1,
                                                      0x3F0000}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PdaCopyCase {
  const char* name;
  emulator::PdaCopyFault a, b;
  bool selected;
  std::vector<std::uint32_t> reads;
};

void PrintTo(const PdaCopyCase& c, std::ostream* out) { *out << c.name; }

class PdaCopies : public EndToEnd, public testing::WithParamInterface<PdaCopyCase> {};

TEST_P(PdaCopies, CopyBStandsInOnlyForACopyAWithoutRecords) {
  const PdaCopyCase& c = GetParam();
  AdapterDescription d;
  d.pda_a = c.a;
  d.pda_b = c.b;
  make_host();
  add(kName, d);
  start();
  detect();

  EXPECT_EQ(dialog.adapter_selected, c.selected);
  if (!c.selected) {
    EXPECT_EQ(view.text(IDC_STATUS_BOX), "WARNING! PDA read from card was invalid. ");
  }
  std::vector<std::uint32_t> reads;
  for (const auto& line : requests(kName, 0xFF010186))
    if (line.n == 1024u) reads.push_back(line.address.value_or(0));
  EXPECT_EQ(reads, c.reads);
}

using emulator::PdaCopyFault;

INSTANTIATE_TEST_SUITE_P(
    Cases, PdaCopies,
    testing::Values(
        PdaCopyCase{"BothSound", PdaCopyFault::None, PdaCopyFault::None, true, {0x7F0000}},
        PdaCopyCase{"AErasedBSound", PdaCopyFault::Erased, PdaCopyFault::None, true,
                    {0x7F0000, 0x807F0000}},
        PdaCopyCase{"ABadCrcFailsWithoutB", PdaCopyFault::BadCrc, PdaCopyFault::None, false,
                    {0x7F0000}},
        PdaCopyCase{"BothErased", PdaCopyFault::Erased, PdaCopyFault::Erased, false,
                    {0x7F0000, 0x807F0000}},
        PdaCopyCase{"ASoundBNeverRead", PdaCopyFault::None, PdaCopyFault::BadCrc, true,
                    {0x7F0000}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Identity ----

class Identity : public EndToEnd {
 protected:
  void start_with(const AdapterDescription& d) {
    make_host();
    add(kName, d);
    start();
  }
};

TEST_F(Identity, ADriverWithBit31SetIsRefusedAndTheVersionBoxShowsTheNumbers) {
  AdapterDescription old;
  old.driver_version = 0x80000000;
  start_with(old);
  detect();
  ASSERT_TRUE(dialog.adapter_selected);
  fake.boxes.calls.clear();
  EXPECT_FALSE(quietly([&] { return dialog.open_selected(true); }));
  EXPECT_EQ(fake.boxes.calls.at(0).text,
            "This program requires a newer driver version to update cards. Updating is "
            "disabled.");
  EXPECT_TRUE(dialog.adapter.is_open());
}

TEST_F(Identity, TheDriverVersionBoxShowsPaddedNumbers) {
  start_with({});
  detect();
  quietly([&] {
    dialog.show_driver_version();
    return 0;
  });
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].text, "Version: 1. 2. 3");
  EXPECT_FALSE(dialog.adapter.is_open());
}

TEST_F(Identity, FirmwareFileNamesAndAnUnreadableStationIdentity) {
  AdapterDescription d;
  d.firmware_files = "PK1 ST2";
  d.rid_length_zero = {0xFD20};
  start_with(d);
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, true); }));
  std::string first, second, text;
  EXPECT_TRUE(dialog.adapter.get_firmware_files(first, second));
  EXPECT_EQ(first, "PK1");
  EXPECT_EQ(second, "ST2");
  EXPECT_FALSE(dialog.adapter.get_firmware_text(text, 80, 0));
  EXPECT_EQ(text, "Primary: 1.1.3 (Station RID read failure)");
  std::string primary, station;
  dialog.adapter.read_identity_texts(0, primary, station);
  EXPECT_EQ(primary, "1.1.3");
  EXPECT_EQ(station, "");
}

TEST_F(Identity, ADriverWithoutTheProbeRequestIsWarnedAbout) {
  AdapterDescription d;
  d.probe_supported = false;
  start_with(d);
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, true); }));
  EXPECT_FALSE(dialog.adapter.probe());
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  EXPECT_EQ(fake.boxes.calls[0].caption, "Incompatible Driver Error");
}

TEST_F(Identity, PlatformType3IsNotCompatible) {
  AdapterDescription d;
  d.platform_type = 3;
  start_with(d);
  detect();
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_EQ(view.text(IDC_STATUS_BOX),
            "The adapter has been disabled, or is not compatible with this program.");
  EXPECT_EQ(view.status_color(), 255u);
}

}  // namespace
}  // namespace devov::test
