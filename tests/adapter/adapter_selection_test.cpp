// Adapter selection and identity against a recording library: detection and
// the automatic selection, select_adapter's summary and its failures, the
// two PDA copies, opening the selection with the driver check, the driver
// version box, the firmware text and file names, and the hidden controls.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "adapter/requests.h"
#include "production/pda_list.h"
#include "resources/resource_ids.h"
#include "shell/run_options.h"
#include "tests/adapter/adapter_fixture.h"

namespace devov::test {
namespace {

constexpr std::uint32_t kAuxRead = 0xFF010186;
constexpr std::uint32_t kFailure = 0xC0000001;

const std::vector<std::vector<std::uint16_t>> kUnitRecords = {
    text_record(0x0001, "6271-USB-A2"),
    text_record(0x0003, "VLK627100001"),
    {4, 0x0101, 0x9000, 0x124B, 0x5634},
    {5, 0x0008, 0xE6B2, 1, 1, 1}};

RecordingLibrary::RidAnswer identity(std::uint16_t major, std::uint16_t minor,
                                     std::uint16_t variant, std::uint16_t component) {
  return RecordingLibrary::rid_words({component, variant, major, minor});
}

RecordingLibrary::RidAnswer files_record(std::uint16_t length, const std::string& text) {
  RecordingLibrary::RidAnswer answer;
  answer.length = length;
  answer.data.assign(text.begin(), text.end());
  return answer;
}

// A library that answers like a sound adapter of platform type 2: its PDA
// in copy A, primary 1.0.7 and station 1.4.2, the firmware files
// "PK010007 SU010402".
void sound_adapter(RecordingLibrary& library, std::uint16_t platform_type = 2) {
  library.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0, 0, platform_type});
  library.rids[RID_PRI_IDENTITY] = identity(1, 0, 7, 21);
  library.rids[RID_STA_IDENTITY] = identity(1, 4, 2, 31);
  library.rids[RID_FIRMWARE_FILES] = files_record(12, "PK010007 SU010402");
  library.memory[platform_type == 1 ? 0x3F0000u : 0x7F0000u] = pda_area(pda_words(kUnitRecords));
}

class Selection : public DialogTest {
 protected:
  std::vector<std::string> list_texts() {
    std::vector<std::string> texts;
    for (int i = 0; i < view.list_count(IDC_ADAPTER_LIST); ++i)
      texts.push_back(view.list_text(IDC_ADAPTER_LIST, i));
    return texts;
  }

  // An adapter selected as select_adapter leaves it, without running it.
  void select_without_reading() {
    add_one_adapter();
    sound_adapter(library);
    dialog.adapter_selected = true;
    dialog.selected_adapter = 0;
  }

  const BoxCall& only_box() {
    EXPECT_EQ(fake.boxes.calls.size(), 1u);
    static const BoxCall none{};
    return fake.boxes.calls.empty() ? none : fake.boxes.calls.back();
  }
};

// ---- detect_adapters ----

TEST_F(Selection, DetectionKeepsOnlyAdaptersThatOpenAndSelectsAnOnlyOne) {
  add_adapters(3);
  sound_adapter(library);
  library.openable.erase("\\Device\\{1}");
  quietly([&] { dialog.detect_adapters(true); return 0; });

  EXPECT_EQ(list_texts(), (std::vector<std::string>{"Adapter 0", "Adapter 2"}));
  EXPECT_EQ(view.list_item_data(IDC_ADAPTER_LIST, 1), 2) << "positions kept";
  EXPECT_EQ(view.list_selection(IDC_ADAPTER_LIST), -1);
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_EQ(new_log().find("Select Adapter: "), std::string::npos);
  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_EQ(keys_left_open(), 0);
}

TEST_F(Selection, DetectionTriesTheEntriesFromTheLast) {
  add_adapters(3);
  quietly([&] { dialog.detect_adapters(false); return 0; });
  std::vector<std::string> opens;
  for (const auto& call : library.calls)
    if (call.rfind("open_adapter", 0) == 0) opens.push_back(call);
  EXPECT_EQ(opens, (std::vector<std::string>{"open_adapter \\Device\\{2}",
                                             "open_adapter \\Device\\{1}",
                                             "open_adapter \\Device\\{0}"}));
}

TEST_F(Selection, DetectionDropsAnAdapterWhoseDriverRefusesTheAuxPort) {
  add_adapters(2);
  sound_adapter(library);
  library.answer = [&](const SentRequest& r) -> std::optional<std::uint32_t> {
    const auto first = library.handles.find("\\Device\\{0}");
    if (r.oid == OID_PRIVATE_ENABLE_AUX && first != library.handles.end() &&
        r.handle == first->second)
      return kFailure;
    return std::nullopt;
  };
  quietly([&] { dialog.detect_adapters(true); return 0; });
  EXPECT_EQ(list_texts(), (std::vector<std::string>{"Adapter 1"}));
  EXPECT_TRUE(dialog.adapter_selected) << "the one left is selected at once";
  EXPECT_EQ(dialog.selected_adapter, 1);
  EXPECT_EQ(dialog.adapter_name, "Adapter 1");
  EXPECT_FALSE(dialog.adapter.is_open());
}

TEST_F(Selection, DetectionStartsByDroppingTheSelection) {
  select_without_reading();
  quietly([&] { return dialog.adapter.open(0, false); });
  library.openable.clear();
  quietly([&] { dialog.detect_adapters(true); return 0; });
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_EQ(view.list_count(IDC_ADAPTER_LIST), 0);
  EXPECT_FALSE(view.is_visible(IDC_ADAPTER_NAME));
}

// ---- select_adapter ----

TEST_F(Selection, SelectingReadsTheIdentityAndLogsTheSummary) {
  add_one_adapter();
  sound_adapter(library);
  view.add_list_string(IDC_ADAPTER_LIST, "Velk 6271 Wireless USB Adapter");
  view.select_list_item(IDC_ADAPTER_LIST, 0);

  ASSERT_TRUE(quietly([&] { return dialog.select_adapter(); }));

  EXPECT_EQ(new_log(),
            "Select Adapter: \n"
            "Selected Adapter: Velk 6271 Wireless USB Adapter\n"
            "\nSummary of Pre-Programming Configuration\n"
            "Product Part Number: 6271-USB-A2\n"
            "  Serial Number: VLK627100001\n"
            "  MAC Address: 00-90-4B-12-34-56\n"
            "  Current firmware version: Primary: 1.0.7   Station: 1.4.2\n"
            "  Current firmware files: PK010007    SU010402\n"
            "End Select Adapter: Appropriate adapter found!\n\n");
  EXPECT_TRUE(dialog.adapter_selected);
  EXPECT_EQ(dialog.selected_adapter, 0);
  EXPECT_EQ(dialog.adapter_name, "Velk 6271 Wireless USB Adapter");
  EXPECT_EQ(dialog.adapter_mac_text, "00-90-4B-12-34-56");
  EXPECT_EQ(dialog.pda_mac_text, "00-90-4B-12-34-56");
  EXPECT_EQ(dialog.serial_number_text, "VLK627100001");
  EXPECT_EQ(dialog.part_number_text, "6271-USB-A2");
  EXPECT_EQ(view.text(IDC_ADAPTER_NAME), "Velk 6271 Wireless USB Adapter");
  EXPECT_TRUE(view.is_visible(IDC_ADAPTER_NAME));
  EXPECT_EQ(view.text(IDC_SERIAL_NUMBER), "VLK627100001");
  EXPECT_EQ(steps.events, (std::vector<std::string>{"show_manifest", "pre_check",
                                                    "select_embedded_firmware"}));
  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_EQ(dialog.pda.find(0x0008)[2], 0xE6B2);
}

TEST_F(Selection, AFailedAddressQueryLeavesTheAdaptersMacTextEmpty) {
  add_one_adapter();
  sound_adapter(library);
  library.always[OID_802_3_PERMANENT_ADDRESS] = kFailure;
  view.add_list_string(IDC_ADAPTER_LIST, "A");
  view.select_list_item(IDC_ADAPTER_LIST, 0);
  dialog.adapter_mac_text = "stale";
  ASSERT_TRUE(quietly([&] { return dialog.select_adapter(); }));
  EXPECT_EQ(dialog.adapter_mac_text, "");
}

TEST_F(Selection, ADriverTooOldIsToldButDoesNotStopTheSelection) {
  add_one_adapter();
  sound_adapter(library);
  library.driver_version = 0x80000000;
  view.add_list_string(IDC_ADAPTER_LIST, "A");
  view.select_list_item(IDC_ADAPTER_LIST, 0);
  EXPECT_TRUE(quietly([&] { return dialog.select_adapter(); }));
  ASSERT_EQ(fake.boxes.calls.size(), 2u) << "at the check and before the file names";
  EXPECT_FALSE(dialog.adapter.is_open());
}

struct SelectFailure {
  const char* name;
  std::function<void(RecordingLibrary&)> arrange;
  const char* status;
  bool status_logged;
};

void PrintTo(const SelectFailure& c, std::ostream* out) { *out << c.name; }

class SelectAdapterFailure : public Selection,
                             public testing::WithParamInterface<SelectFailure> {};

TEST_P(SelectAdapterFailure, SaysWhyInRedAndLeavesTheSelectionAndTheAdapter) {
  const SelectFailure& c = GetParam();
  add_one_adapter();
  sound_adapter(library);
  c.arrange(library);
  view.add_list_string(IDC_ADAPTER_LIST, "A");
  view.select_list_item(IDC_ADAPTER_LIST, 0);
  dialog.selected_adapter = 5;

  EXPECT_FALSE(quietly([&] { return dialog.select_adapter(); }));

  EXPECT_EQ(view.text(IDC_STATUS_BOX), c.status);
  EXPECT_EQ(view.status_color(), 255u);
  EXPECT_EQ(dialog.status_color, 255u);
  EXPECT_EQ(new_log(), std::string("Select Adapter: \n") +
                           (c.status_logged ? std::string(c.status) + "\n" : "") +
                           "End Select Adapter: Failed to select!\n\n");
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_EQ(dialog.selected_adapter, 5);
  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_EQ(dialog.pda.first_node(), nullptr);
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_EQ(fake.events.created, fake.events.closed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectAdapterFailure,
    testing::Values(
        SelectFailure{"CannotOpen", [](RecordingLibrary& l) { l.openable.clear(); },
                      "Error: The adapter could not be opened.", true},
        SelectFailure{"EnableAuxFailsAfterOpening",
                      [](RecordingLibrary& l) {
                        l.statuses[OID_PRIVATE_ENABLE_AUX] = {0, kFailure};
                      },
                      "Error: The adapter could not be opened.", true},
        SelectFailure{"PlatformType3",
                      [](RecordingLibrary& l) {
                        l.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0, 0, 3});
                      },
                      "The adapter has been disabled, or is not compatible with this program.",
                      false},
        SelectFailure{"PdaCopiesBothErased", [](RecordingLibrary& l) { l.memory.clear(); },
                      "WARNING! PDA read from card was invalid. ", false},
        SelectFailure{"PdaReadFails", [](RecordingLibrary& l) { l.always[kAuxRead] = kFailure; },
                      "WARNING! PDA read from card was invalid. ", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selection, NoSelectedEntryCannotBeOpened) {
  add_one_adapter();
  sound_adapter(library);
  view.add_list_string(IDC_ADAPTER_LIST, "A");
  EXPECT_FALSE(quietly([&] { return dialog.select_adapter(); }));
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "Error: The adapter could not be opened.");
}

// ---- read_pda ----

struct PdaCase {
  const char* name;
  std::uint16_t platform_type;
  std::function<void(RecordingLibrary&, std::uint32_t pda)> arrange;
  bool ok;
  std::vector<std::uint32_t> read_addresses;
  std::uint16_t first_code;  // of the list afterwards; 0 for an empty list
};

void PrintTo(const PdaCase& c, std::ostream* out) { *out << c.name; }

class ReadPda : public Selection, public testing::WithParamInterface<PdaCase> {};

TEST_P(ReadPda, FallsBackToCopyBOnlyWhenCopyAHoldsNoRecord) {
  const PdaCase& c = GetParam();
  add_one_adapter();
  library.rids[RID_PLATFORM] = RecordingLibrary::rid_words({0, 0, c.platform_type});
  const std::uint32_t pda = c.platform_type == 1 ? 0x3F0000 : 0x7F0000;
  c.arrange(library, pda);
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, true); }));
  PdaList list;
  const std::vector<std::uint16_t> old{2, 0x0042, 1};
  list.put(old.data());
  library.requests.clear();

  EXPECT_EQ(dialog.adapter.read_pda(list), c.ok);

  std::vector<std::uint32_t> addresses;
  for (const auto& r : library.requests_of(kAuxRead)) {
    addresses.push_back(r.aux_address());
    EXPECT_EQ(r.length, 1030u);
  }
  EXPECT_EQ(addresses, c.read_addresses);
  EXPECT_EQ(list.first_node() ? list.first_node()->record_words[1] : 0, c.first_code);
}

std::vector<std::uint8_t> with_bad_crc(std::vector<std::uint16_t> words) {
  words.back() ^= 0x0101;
  return pda_area(words);
}

const std::vector<std::vector<std::uint16_t>> kOtherRecords = {{2, 0x0002, 0x1234}};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadPda,
    testing::Values(
        PdaCase{"CopyASound", 2,
                [](RecordingLibrary& l, std::uint32_t pda) {
                  l.memory[pda] = pda_area(pda_words(kUnitRecords));
                  l.memory[pda | 0x80000000] = pda_area(pda_words(kOtherRecords));
                },
                true, {0x7F0000}, 0x0001},
        PdaCase{"CopyAErasedCopyBSound", 2,
                [](RecordingLibrary& l, std::uint32_t pda) {
                  l.memory[pda | 0x80000000] = pda_area(pda_words(kOtherRecords));
                },
                true, {0x7F0000, 0x807F0000}, 0x0002},
        PdaCase{"CopyAWithABadCrcFailsWithoutCopyB", 2,
                [](RecordingLibrary& l, std::uint32_t pda) {
                  l.memory[pda] = with_bad_crc(pda_words(kUnitRecords));
                  l.memory[pda | 0x80000000] = pda_area(pda_words(kOtherRecords));
                },
                false, {0x7F0000}, 0},
        PdaCase{"BothErased", 2, [](RecordingLibrary&, std::uint32_t) {}, false,
                {0x7F0000, 0x807F0000}, 0},
        PdaCase{"CopyBWithABadCrc", 2,
                [](RecordingLibrary& l, std::uint32_t pda) {
                  l.memory[pda | 0x80000000] = with_bad_crc(pda_words(kOtherRecords));
                },
                false, {0x7F0000, 0x807F0000}, 0},
        PdaCase{"CopyAReadFailsLeavesTheList", 2,
                [](RecordingLibrary& l, std::uint32_t) { l.always[kAuxRead] = kFailure; },
                false, {0x7F0000}, 0x0042},
        // On platform type 1 the reads go out with bits 17 and 18 cleared.
        PdaCase{"Type1ReadsThroughTheClearedAddress", 1,
                [](RecordingLibrary& l, std::uint32_t) {
                  l.memory[0x80390000] = pda_area(pda_words(kOtherRecords));
                },
                true, {0x390000, 0x80390000}, 0x0002}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- open_selected and the driver check ----

TEST_F(Selection, OpenSelectedWithoutASelectionSaysSoAndClosesTheAdapter) {
  EXPECT_FALSE(dialog.open_selected(true));
  const BoxCall& box = only_box();
  EXPECT_EQ(box.text, "Cannot continue - No adapter selected.");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.style, 0u);
  EXPECT_EQ(box.owner, platform::BoxOwner::MainDialog);
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "No adapter selected.");
  EXPECT_TRUE(library.requests.empty());
}

TEST_F(Selection, OpenSelectedThatCannotOpenAsksWhetherItWasRemoved) {
  select_without_reading();
  library.openable.clear();
  EXPECT_FALSE(quietly([&] { return dialog.open_selected(false); }));
  const BoxCall& box = only_box();
  EXPECT_EQ(box.text, "Cannot open selected adapter. Was it removed?");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.style, 0x10u);
  EXPECT_FALSE(dialog.adapter_selected) << "as after on_close_adapter";
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "No adapter selected.");
}

struct DriverCase {
  std::uint32_t version;
  bool passes;
};

class DriverCheck : public Selection, public testing::WithParamInterface<DriverCase> {};

TEST_P(DriverCheck, RefusesADriverVersionWithBit31SetAndStaysOpen) {
  select_without_reading();
  library.driver_version = GetParam().version;
  EXPECT_EQ(quietly([&] { return dialog.open_selected(true); }), GetParam().passes);
  EXPECT_TRUE(dialog.adapter.is_open());
  if (GetParam().passes) {
    EXPECT_TRUE(fake.boxes.calls.empty());
  } else {
    const BoxCall& box = only_box();
    EXPECT_EQ(box.text,
              "This program requires a newer driver version to update cards. Updating is "
              "disabled.");
    EXPECT_EQ(box.caption, std::nullopt);
    EXPECT_EQ(box.style, 0u);
  }
  library.requests.clear();
  EXPECT_TRUE(quietly([&] { return dialog.open_selected(false); }));
  EXPECT_TRUE(library.requests.empty()) << "no check asked for";
}

INSTANTIATE_TEST_SUITE_P(Versions, DriverCheck,
                         testing::Values(DriverCase{0x80000000, false},
                                         DriverCase{0xFFFFFFFF, false},
                                         DriverCase{0x7FFFFFFF, true},
                                         DriverCase{0x00010203, true}));

TEST_F(Selection, AFailedVersionQueryPassesTheCheck) {
  select_without_reading();
  library.always[OID_GEN_VENDOR_DRIVER_VERSION] = kFailure;
  EXPECT_TRUE(quietly([&] { return dialog.open_selected(true); }));
}

struct VersionText {
  std::uint32_t version;
  const char* text;
};

class DriverVersionBox : public Selection, public testing::WithParamInterface<VersionText> {};

TEST_P(DriverVersionBox, ShowsTheThreeNumbersPaddedAndClosesAgain) {
  select_without_reading();
  library.driver_version = GetParam().version;
  quietly([&] { dialog.show_driver_version(); return 0; });
  const BoxCall& box = only_box();
  EXPECT_EQ(box.text, GetParam().text);
  EXPECT_EQ(box.caption, "Driver Version for Selected Card");
  EXPECT_EQ(box.style, 0u);
  EXPECT_EQ(box.owner, platform::BoxOwner::MainDialog);
  EXPECT_FALSE(dialog.adapter.is_open());
}

INSTANTIATE_TEST_SUITE_P(Versions, DriverVersionBox,
                         testing::Values(VersionText{0x00010203, "Version: 1. 2. 3"},
                                         VersionText{0x000A0B0C, "Version: 10.11.12"},
                                         VersionText{0x80000000, "Version: 32768. 0. 0"},
                                         VersionText{0xFFFF00FF, "Version: 65535. 0.255"}));

TEST_F(Selection, DriverVersionWithoutASelectionShowsOnlyThatMessage) {
  dialog.show_driver_version();
  EXPECT_EQ(only_box().text, "Cannot continue - No adapter selected.");
}

// ---- The firmware text and the file names ----

struct FirmwareTextCase {
  const char* name;
  bool primary, station;
  std::size_t size;
  const char* text;
  bool ok;
};

void PrintTo(const FirmwareTextCase& c, std::ostream* out) { *out << c.name; }

class FirmwareText : public Selection, public testing::WithParamInterface<FirmwareTextCase> {};

TEST_P(FirmwareText, NamesBothVersionsOrWhichReadFailed) {
  const FirmwareTextCase& c = GetParam();
  add_one_adapter();
  sound_adapter(library);
  if (!c.primary) library.rids.erase(RID_PRI_IDENTITY);
  if (!c.station) library.rids.erase(RID_STA_IDENTITY);
  std::string text = "old";
  EXPECT_EQ(quietly([&] { return dialog.adapter.get_firmware_text(text, c.size, 0); }), c.ok);
  EXPECT_EQ(text, c.text);
  EXPECT_FALSE(dialog.adapter.is_open()) << "left closed as it was found";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmwareText,
    testing::Values(
        FirmwareTextCase{"Both", true, true, 80, "Primary: 1.0.7   Station: 1.4.2", true},
        FirmwareTextCase{"StationUnreadable", true, false, 80,
                         "Primary: 1.0.7 (Station RID read failure)", false},
        FirmwareTextCase{"PrimaryUnreadable", false, true, 80, "(Primary RID read failure)",
                         false},
        FirmwareTextCase{"CutToTheBuffer", true, true, 10, "Primary: ", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selection, FirmwareTextLeavesAnOpenAdapterOpenAndFailsWhenItCannotOpen) {
  add_one_adapter();
  sound_adapter(library);
  std::string text;
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, false); }));
  EXPECT_TRUE(dialog.adapter.get_firmware_text(text, 80, 0));
  EXPECT_TRUE(dialog.adapter.is_open());
  dialog.adapter.close();
  library.openable.clear();
  text = "old";
  EXPECT_FALSE(quietly([&] { return dialog.adapter.get_firmware_text(text, 80, 0); }));
  EXPECT_EQ(text, "");
}

struct FilesCase {
  const char* name;
  std::uint16_t length;
  std::string data;
  const char* first;
  const char* second;
};

void PrintTo(const FilesCase& c, std::ostream* out) { *out << c.name; }

class FirmwareFiles : public Selection, public testing::WithParamInterface<FilesCase> {};

TEST_P(FirmwareFiles, SplitsTheCountedPrintableCharactersAtBlanks) {
  const FilesCase& c = GetParam();
  add_one_adapter();
  library.rids[RID_FIRMWARE_FILES] = files_record(c.length, c.data);
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, false); }));
  std::string first = "old", second = "old";
  EXPECT_TRUE(dialog.adapter.get_firmware_files(first, second));
  EXPECT_EQ(first, c.first);
  EXPECT_EQ(second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmwareFiles,
    testing::Values(FilesCase{"LengthEight", 8, "PK1 ST2", "PK1", "ST2"},
                    FilesCase{"LengthFourCountsFourCharacters", 4, "PK1 ST2", "PK1", ""},
                    FilesCase{"NotPrintableIsABlank", 8, std::string("PK1\x01ST2\x7F", 8), "PK1",
                              "ST2"},
                    FilesCase{"LeadingBlanks", 8, "  PK1 S", "PK1", "S"},
                    FilesCase{"AtMost26Characters", 40,
                              "PU010103.HEX  SU010503.HEXABCDEFGH", "PU010103.HEX",
                              "SU010503.HEX"},
                    FilesCase{"OnlyTwoNames", 20, "A B C", "A", "B"},
                    FilesCase{"LengthOneCountsNothing", 1, "PK1", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selection, FirmwareFilesLeaveTheNamesOnAFailedRead) {
  add_one_adapter();
  ASSERT_TRUE(quietly([&] { return dialog.adapter.open(0, false); }));
  std::string first = "old", second = "old";
  EXPECT_FALSE(dialog.adapter.get_firmware_files(first, second)) << "length word 0";
  EXPECT_EQ(first, "old");
  EXPECT_EQ(second, "old");
}

TEST_F(Selection, ShowCurrentFirmwareFillsTheCurrentColumnOrEmptiesIt) {
  select_without_reading();
  ASSERT_TRUE(quietly([&] { return dialog.show_current_firmware(); }));
  EXPECT_EQ(view.text(IDC_CURRENT_PRIMARY_VERSION), "1.0.7");
  EXPECT_EQ(view.text(IDC_CURRENT_PRIMARY_FILE), "PK010007");
  EXPECT_EQ(view.text(IDC_CURRENT_STATION_VERSION), "1.4.2");
  EXPECT_EQ(view.text(IDC_CURRENT_STATION_FILE), "SU010402");
  EXPECT_FALSE(dialog.adapter.is_open());

  library.rids.erase(RID_STA_IDENTITY);
  ASSERT_TRUE(quietly([&] { return dialog.show_current_firmware(); }));
  EXPECT_EQ(view.text(IDC_CURRENT_STATION_VERSION), "");

  library.openable.clear();
  EXPECT_FALSE(quietly([&] { return dialog.show_current_firmware(); }));
  for (int control : {IDC_CURRENT_PRIMARY_VERSION, IDC_CURRENT_PRIMARY_FILE,
                      IDC_CURRENT_STATION_VERSION, IDC_CURRENT_STATION_FILE})
    EXPECT_EQ(view.text(control), "") << control;
}

// ---- The identity fields and closing ----

struct IdentityCase {
  const char* name;
  std::vector<std::vector<std::uint16_t>> records;
  const char* pda_mac;
  const char* serial;
  const char* part;
};

void PrintTo(const IdentityCase& c, std::ostream* out) { *out << c.name; }

class IdentityFields : public Selection, public testing::WithParamInterface<IdentityCase> {};

TEST_P(IdentityFields, ComeFromTheRecordsOfTheRightLength) {
  const IdentityCase& c = GetParam();
  for (const auto& r : c.records) dialog.pda.put(r.data());
  dialog.refresh_identity_fields();
  EXPECT_EQ(dialog.pda_mac_text, c.pda_mac);
  EXPECT_EQ(dialog.serial_number_text, c.serial);
  EXPECT_EQ(dialog.part_number_text, c.part);
  EXPECT_EQ(view.text(IDC_PDA_MAC), c.pda_mac);
  EXPECT_EQ(view.text(IDC_SERIAL_NUMBER), c.serial);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentityFields,
    testing::Values(
        IdentityCase{"Sound", kUnitRecords, "00-90-4B-12-34-56", "VLK627100001", "6271-USB-A2"},
        IdentityCase{"MacWithLengthFive",
                     {{5, 0x0101, 0x9000, 0x124B, 0x5634, 0}},
                     "",
                     "",
                     ""},
        IdentityCase{"TextsOfLengthTwoAreEmpty", {{2, 0x0001, 0x4141}, {2, 0x0003, 0x4242}}, "",
                     "", ""},
        IdentityCase{"UnprintableBecomesBlanks",
                     {{3, 0x0003, 0x4101, 0x0042}},
                     "",
                     " AB",
                     ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selection, TheNameEditFollowsTheSelectionOutsideQuietMode) {
  dialog.adapter_selected = true;
  dialog.adapter_mac_text = "00-90-4B-12-34-56";
  dialog.refresh_identity_fields();
  EXPECT_TRUE(view.is_visible(IDC_ADAPTER_NAME));
  EXPECT_EQ(dialog.adapter_mac_text, "00-90-4B-12-34-56");
  dialog.adapter_selected = false;
  dialog.refresh_identity_fields();
  EXPECT_FALSE(view.is_visible(IDC_ADAPTER_NAME));
  EXPECT_EQ(dialog.adapter_mac_text, "");

  run_options().quiet = true;
  dialog.adapter_selected = true;
  dialog.refresh_identity_fields();
  EXPECT_FALSE(view.is_visible(IDC_ADAPTER_NAME)) << "quiet mode leaves it hidden";
}

TEST_F(Selection, CloseAdapterDropsTheSelectionAndEmptiesTheFirmwareRows) {
  select_without_reading();
  quietly([&] { return dialog.adapter.open(0, false); });
  for (const auto& r : kUnitRecords) dialog.pda.put(r.data());
  const std::vector<int> rows = {1070, 1074, 1071, 1076, 1072, 1075, 1073, 1077};
  for (int control : rows) view.set_text(control, "x");

  dialog.on_close_adapter();

  EXPECT_FALSE(dialog.adapter.is_open());
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_EQ(dialog.pda.first_node(), nullptr);
  EXPECT_EQ(dialog.serial_number_text, "");
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "No adapter selected.");
  EXPECT_EQ(view.status_color(), 255u);
  for (int control : rows) EXPECT_EQ(view.text(control), "") << control;
  EXPECT_EQ(new_log(), "No adapter selected.\n");
}

// ---- The hidden controls of the main dialog ----

TEST_F(Selection, HiddenControlsReachTheirOperations) {
  add_adapters(1);
  sound_adapter(library);

  quietly([&] { dialog.on_command(IDC_DETECT_ADAPTERS); return 0; });
  EXPECT_EQ(view.list_count(IDC_ADAPTER_LIST), 1);
  EXPECT_FALSE(dialog.adapter_selected) << "detection from the button does not select";
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "No adapter selected.");

  view.select_list_item(IDC_ADAPTER_LIST, 0);
  quietly([&] { dialog.on_command(IDC_ADAPTER_LIST); return 0; });
  EXPECT_TRUE(dialog.adapter_selected);

  quietly([&] { dialog.on_command(32780); return 0; });
  EXPECT_EQ(only_box().text, "Version: 1. 2. 3");

  dialog.on_command(IDC_CLOSE_ADAPTER);
  EXPECT_FALSE(dialog.adapter_selected);
  EXPECT_EQ(view.text(IDC_STATUS_BOX), "No adapter selected.");
}

}  // namespace
}  // namespace devov::test
