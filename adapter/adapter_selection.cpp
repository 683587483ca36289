// Adapter selection and identity: rebuilding the adapter list, selecting the
// one adapter, opening and closing it for the rest of the program, and
// reading what it says about itself (PDA, MAC address, firmware versions and
// file names, driver version).
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "adapter/adapter_session.h"
#include "adapter/discovery.h"
#include "adapter/requests.h"
#include "firmware/firmware_identity.h"
#include "platform/platform.h"
#include "production/pda_list.h"
#include "production/pdr_text.h"
#include "resources/resource_ids.h"
#include "shell/flash_log.h"
#include "shell/run_options.h"
#include "shell/update_flash_dialog.h"
#include "shell/update_steps.h"

namespace devov {
namespace {

constexpr std::uint16_t kPdrPartNumber = 0x0001;
constexpr std::uint16_t kPdrSerialNumber = 0x0003;
constexpr std::uint16_t kPdrMacAddress = 0x0101;
constexpr std::uint16_t kMacRecordLength = 4;
// The PDA area read from the card, in bytes.
constexpr std::uint16_t kPdaBytes = 2 * kPdaWords;
// The firmware-files record holds at most this many characters of text.
constexpr int kFirmwareFilesChars = 26;
// The summary's firmware text is built in this many characters.
constexpr std::size_t kFirmwareTextSize = 80;

// The firmware rows of the "Current" column, then of the "After
// Programming" one, each primary file, primary revision, station file,
// station revision.
constexpr int kCurrentFirmwareControls[] = {IDC_CURRENT_PRIMARY_FILE, IDC_CURRENT_PRIMARY_VERSION,
                                            IDC_CURRENT_STATION_FILE,
                                            IDC_CURRENT_STATION_VERSION};
constexpr int kNewFirmwareControls[] = {IDC_NEW_PRIMARY_FILE, IDC_NEW_PRIMARY_VERSION,
                                        IDC_NEW_STATION_FILE, IDC_NEW_STATION_VERSION};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string mac_text(const std::uint16_t* words) {
  char text[kMacTextSize] = {};
  format_mac_text(text, words);
  return upper(text);
}

// The version of an identity record: data word 2 major, 3 minor, 1 variant.
std::string identity_text(const RidRecord& record) {
  FirmwareIdentity identity;
  identity.major = record.data_word(2);
  identity.minor = record.data_word(3);
  identity.variant = record.data_word(1);
  return identity.to_text();
}

// The text record `code` of the list, when its length word is above 2.
std::string record_text(const PdaList& list, std::uint16_t code) {
  const std::uint16_t* record = list.find(code);
  if (!record || record[kPdrLengthWord] <= 2) return {};
  const std::size_t count = record[kPdrLengthWord] - 1u;
  std::vector<char> text(2 * count + 1);
  words_to_text(text.data(), record + kPdrFirstDataWord, count);
  return text.data();
}

bool load_record_words(PdaList& list, const AuxRecord& record) {
  std::uint16_t words[kPdaWords];
  for (std::uint16_t i = 0; i < kPdaWords; ++i) words[i] = load_le16(record.data() + 2 * i);
  list.clear();
  return list.load_words(words, kPdaWords) > 0;
}

}  // namespace

// ---- AdapterSession: the reads of the adapter's identity ----

bool AdapterSession::read_pda(PdaList& list) {
  AuxRecord copy_a;
  copy_a.set_address(pda_address);
  copy_a.set_length(kPdaBytes);
  AuxRecord copy_b;
  copy_b.set_address(pda_address | kPdaCopyB);
  copy_b.set_length(kPdaBytes);

  if (!aux_read(copy_a)) return false;
  if (!load_record_words(list, copy_a)) {
    // Copy A holds no record at all: the second copy stands in for it.
    aux_read(copy_b);
    if (!load_record_words(list, copy_b)) {
      list.clear();
      return false;
    }
  }
  if (list.received_crc() == list.stored_crc()) return true;
  list.clear();
  return false;
}

void AdapterSession::read_identity_texts(std::int32_t index, std::string& primary,
                                         std::string& station) {
  const bool was_open = is_open();
  primary.clear();
  station.clear();
  if (!open(index, false)) return;
  RidRecord record;
  if (read_rid(record, RID_PRI_IDENTITY)) primary = identity_text(record);
  if (read_rid(record, RID_STA_IDENTITY)) station = identity_text(record);
  if (!was_open) close();
}

bool AdapterSession::get_firmware_text(std::string& out, std::size_t size, std::int32_t index) {
  const bool was_open = is_open();
  out.clear();
  if (!open(index, false)) return false;
  std::string text;
  bool ok = false;
  RidRecord record;
  if (!read_rid(record, RID_PRI_IDENTITY)) {
    text = "(Primary RID read failure)";
  } else {
    text = "Primary: " + identity_text(record);
    if (read_rid(record, RID_STA_IDENTITY)) {
      text += "   Station: " + identity_text(record);
      ok = true;
    } else {
      text += " (Station RID read failure)";
    }
  }
  if (!was_open) close();
  out = text.substr(0, size == 0 ? 0 : size - 1);
  return ok;
}

bool AdapterSession::get_firmware_files(std::string& first, std::string& second) {
  RidRecord record;
  if (!read_rid(record, RID_FIRMWARE_FILES)) return false;
  const int counted = 2 * static_cast<int>(record.length()) - 4;
  std::string text(kFirmwareFilesChars, ' ');
  for (int i = 0; i < kFirmwareFilesChars; ++i) {
    const std::uint8_t c = record.data()[i];
    if (c >= 0x20 && c <= 0x7E && i < counted)
      text[static_cast<std::size_t>(i)] = static_cast<char>(c);
  }
  std::vector<std::string> words;
  std::size_t at = 0;
  while (words.size() < 2) {
    at = text.find_first_not_of(' ', at);
    if (at == std::string::npos) break;
    const std::size_t end = text.find(' ', at);
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  first = words.size() > 0 ? words[0] : std::string();
  second = words.size() > 1 ? words[1] : std::string();
  return true;
}

// ---- UpdateFlashDialog: selection of the adapter ----

void UpdateFlashDialog::detect_adapters(bool auto_select) {
  adapter_selected = false;
  close_selected();
  auto& main = view();
  main.clear_list(IDC_ADAPTER_LIST);
  enumerate_adapters(main, IDC_ADAPTER_LIST);
  // From the last entry to the first, so that deleting an entry keeps the
  // positions of those not yet tried, which are still their list indexes.
  for (int entry = main.list_count(IDC_ADAPTER_LIST) - 1; entry >= 0; --entry) {
    if (adapter.open(entry, false)) adapter.close();
    else main.delete_list_string(IDC_ADAPTER_LIST, entry);
  }
  if (auto_select && main.list_count(IDC_ADAPTER_LIST) == 1) {
    main.select_list_item(IDC_ADAPTER_LIST, 0);
    select_adapter();
  }
  refresh_identity_fields();
}

bool UpdateFlashDialog::select_adapter() {
  auto& main = view();
  log_message("%s\n", {"Select Adapter: "});
  const int entry = main.list_selection(IDC_ADAPTER_LIST);
  const auto index = static_cast<std::int32_t>(main.list_item_data(IDC_ADAPTER_LIST, entry));
  adapter.open(index, true);

  const auto failed = [] {
    log_message("%s\n", {"End Select Adapter: Failed to select!\n"});
    return false;
  };
  if (!adapter.is_open() || !adapter.enable_aux()) {
    adapter.close();
    const char* text = "Error: The adapter could not be opened.";
    set_status_text(text);
    set_status_color(kColorRed);
    log_message("%s\n", {text});
    refresh_bound_edits();
    return failed();
  }
  if (adapter.platform_type == kPlatformUnknown) {
    set_status_text("The adapter has been disabled, or is not compatible with this program.");
    set_status_color(kColorRed);
    adapter.close();
    return failed();
  }
  adapter_name = main.list_text(IDC_ADAPTER_LIST, entry);
  pda.clear();
  if (!adapter.read_pda(pda)) {
    set_status_text("WARNING! PDA read from card was invalid. ");
    set_status_color(kColorRed);
    adapter.close();
    return failed();
  }
  log_message("Selected Adapter: ");
  log_message("%s\n", {adapter_name});

  std::uint8_t mac[kPermanentAddressSize] = {};
  if (adapter.get_permanent_address(mac)) {
    std::uint16_t words[kMacWords];
    for (std::size_t k = 0; k < kMacWords; ++k) words[k] = load_le16(mac + 2 * k);
    adapter_mac_text = mac_text(words);
  } else {
    // No address known: nothing to show rather than six made-up octets.
    adapter_mac_text.clear();
  }

  adapter_selected = true;
  selected_adapter = index;
  // Still open, so only the driver check runs; its verdict does not stop the
  // selection.
  open_selected(true);
  adapter.close();
  steps_.select_embedded_firmware(*this);
  refresh_identity_fields();

  std::string summary = "Product Part Number: " + part_number_text +
                        "\n  Serial Number: " + serial_number_text +
                        "\n  MAC Address: " + pda_mac_text + "\n  Current firmware version: ";
  std::string firmware_text;
  adapter.get_firmware_text(firmware_text, kFirmwareTextSize, selected_adapter);
  summary += firmware_text + "\n";
  open_selected(true);
  std::string first, second;
  adapter.get_firmware_files(first, second);
  summary += "  Current firmware files: " + first + "    " + second + "\n";
  adapter.close();

  log_message("%s\n", {"\nSummary of Pre-Programming Configuration"});
  log_message("%s", {summary});
  log_message("%s\n", {"End Select Adapter: Appropriate adapter found!\n"});
  return true;
}

bool UpdateFlashDialog::open_selected(bool check_driver) {
  if (!adapter_selected) {
    show_message(platform::BoxOwner::MainDialog, "Cannot continue - No adapter selected.",
                 "Error", platform::kBoxOk);
    on_close_adapter();
    return false;
  }
  if (!adapter.open(selected_adapter, false)) {
    show_message(platform::BoxOwner::MainDialog, "Cannot open selected adapter. Was it removed?",
                 "Error", platform::kBoxIconError);
    on_close_adapter();
    return false;
  }
  if (check_driver && static_cast<std::int32_t>(adapter.get_driver_version()) < 0) {
    show_message(platform::BoxOwner::MainDialog,
                 "This program requires a newer driver version to update cards. Updating is "
                 "disabled.",
                 std::nullopt, platform::kBoxOk);
    return false;
  }
  return true;
}

void UpdateFlashDialog::close_selected() { adapter.close(); }

void UpdateFlashDialog::on_close_adapter() {
  close_selected();
  pda.clear();
  adapter_selected = false;
  refresh_identity_fields();
  set_status_text("No adapter selected.");
  set_status_color(kColorRed);
  for (int control : kCurrentFirmwareControls) view().set_text(control, "");
  for (int control : kNewFirmwareControls) view().set_text(control, "");
  log_message("%s\n", {"No adapter selected."});
  refresh_bound_edits();
}

void UpdateFlashDialog::show_driver_version() {
  if (!open_selected(false)) return;
  const std::uint32_t version = adapter.get_driver_version();
  close_selected();
  char text[64];
  std::snprintf(text, sizeof text, "Version: %u.%2u.%2u", version >> 16, (version >> 8) & 0xFF,
                version & 0xFF);
  show_message(platform::BoxOwner::MainDialog, text, "Driver Version for Selected Card",
               platform::kBoxOk);
}

bool UpdateFlashDialog::show_current_firmware() {
  auto& main = view();
  if (!open_selected(false)) {
    for (int control : kCurrentFirmwareControls) main.set_text(control, "");
    return false;
  }
  std::string primary, station, first, second;
  adapter.read_identity_texts(selected_adapter, primary, station);
  adapter.get_firmware_files(first, second);
  main.set_text(IDC_CURRENT_PRIMARY_VERSION, primary);
  main.set_text(IDC_CURRENT_PRIMARY_FILE, first);
  main.set_text(IDC_CURRENT_STATION_VERSION, station);
  main.set_text(IDC_CURRENT_STATION_FILE, second);
  close_selected();
  return true;
}

void UpdateFlashDialog::refresh_identity_fields() {
  if (!run_options().quiet) view().show(IDC_ADAPTER_NAME, adapter_selected);
  if (!adapter_selected) adapter_mac_text.clear();
  const std::uint16_t* mac = pda.find(kPdrMacAddress);
  pda_mac_text = mac && mac[kPdrLengthWord] == kMacRecordLength
                     ? mac_text(mac + kPdrFirstDataWord)
                     : std::string();
  serial_number_text = record_text(pda, kPdrSerialNumber);
  part_number_text = record_text(pda, kPdrPartNumber);
  refresh_bound_edits();
}

}  // namespace devov
