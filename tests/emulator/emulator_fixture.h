// A fresh virtual host in a temporary folder, opened through the emulated
// library the way the program opens it, with helpers that send requests in
// the program's request block and read the adapter's trace.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "adapter/request_block.h"
#include "emulator/adapter_memory.h"
#include "emulator/driver_requests.h"
#include "emulator/emulated_library.h"
#include "emulator/registry_file.h"
#include "emulator/virtual_host.h"

namespace devov::emulator::test {

inline std::string temp_folder(const std::string& tag) {
  static int counter = 0;
  auto path = std::filesystem::temp_directory_path() /
              ("6271devov-emulator-" + tag + "-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter++));
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path.string();
}

inline std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The aux record: address, length, data.
inline std::vector<std::uint8_t> aux_record(std::uint32_t address,
                                            const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> record(kAuxHeaderBytes + data.size());
  for (int i = 0; i < 4; ++i) record[i] = static_cast<std::uint8_t>(address >> (8 * i));
  record[4] = static_cast<std::uint8_t>(data.size());
  record[5] = static_cast<std::uint8_t>(data.size() >> 8);
  std::copy(data.begin(), data.end(), record.begin() + kAuxHeaderBytes);
  return record;
}

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = temp_folder("host"); }
  void TearDown() override {
    library_.reset();
    std::filesystem::remove_all(folder_);
  }

  // A fresh host of that OS with the default adapter, and a library on it.
  void make(const HostOptions& options = {}) {
    std::string error;
    ASSERT_TRUE(make_host(folder_, options, error)) << error;
    reload();
  }

  // A new library (and registry) on the host as its files now stand, as a
  // later run of the program sees it.
  void reload() {
    library_.reset();
    registry_ = std::make_unique<RegistryFile>();
    load_host_registry(folder_, *registry_);
    library_ = std::make_unique<EmulatedLibrary>(read_host_config(folder_), folder_, *registry_);
  }

  // Changes keys of an adapter's description before the library opens it.
  void set_keys(const std::vector<std::pair<std::string, std::string>>& keys,
                const std::string& name = kDefaultAdapterName) {
    const std::string path = adapter_folder(folder_, name) + "/" + kDescriptionFileName;
    AdapterDescription d;
    std::string error;
    ASSERT_TRUE(read_adapter_description(path, d, error)) << error;
    for (const auto& [key, value] : keys)
      ASSERT_TRUE(set_description_key(d, key, value, error)) << error;
    ASSERT_TRUE(write_adapter_description(path, d));
    reload();
  }

  // Opens the default adapter by its NT open name.
  platform::AdapterHandle open_default() {
    const auto d = default_adapter_description(read_host_config(folder_));
    return library_->open_adapter(("\\Device\\" + d.instance_name).c_str());
  }

  void open() {
    handle_ = open_default();
    ASSERT_NE(handle_, platform::kInvalidAdapter);
  }

  std::uint32_t request(std::uint32_t type, std::uint32_t oid, void* buffer,
                        std::uint32_t length) {
    NdisRequestBlock block{};
    block.request_type = type;
    block.oid = oid;
    block.buffer = buffer;
    block.buffer_length = length;
    Overlapped overlapped{};
    return library_->make_ndis_request(handle_, &block, &overlapped, 1);
  }
  std::uint32_t set(std::uint32_t oid) { return request(kRequestSet, oid, nullptr, 0); }
  std::uint32_t set(std::uint32_t oid, std::vector<std::uint8_t> record) {
    return request(kRequestSet, oid, record.data(), static_cast<std::uint32_t>(record.size()));
  }

  // A RID read: the status, and the record's words (length word first).
  std::uint32_t read_rid(std::uint16_t rid, std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> record(kRidRecordSize, 0);
    record[2] = static_cast<std::uint8_t>(rid);
    record[3] = static_cast<std::uint8_t>(rid >> 8);
    const auto status = request(kRequestQuery, OID_READ_RID, record.data(), kRidRecordSize);
    words.assign(kRidRecordSize / 2, 0);
    for (std::size_t i = 0; i < words.size(); ++i)
      words[i] = static_cast<std::uint16_t>(record[2 * i] | record[2 * i + 1] << 8);
    return status;
  }

  // An aux read of n bytes; the data read goes to `data`.
  std::uint32_t aux_read(std::uint32_t address, std::uint16_t n, std::vector<std::uint8_t>& data) {
    auto record = aux_record(address, std::vector<std::uint8_t>(n, 0));
    const auto status = request(kRequestQuery, OID_AUX_READ, record.data(),
                                static_cast<std::uint32_t>(record.size()));
    data.assign(record.begin() + kAuxHeaderBytes, record.end());
    return status;
  }

  std::uint32_t control_write(std::uint32_t address = 0x7FDE66) {
    return set(OID_CONTROL_WRITE, aux_record(address, {0x00, 0xE1}));
  }
  std::uint32_t aux_write(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    return set(OID_AUX_WRITE, aux_record(address, data));
  }

  // What the program sends before the blocks of an image.
  void open_write_session(std::uint32_t control_address = 0x7FDE66) {
    ASSERT_EQ(set(OID_BLOCK_PROTOCOLS), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(aux_write(0, {}), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(control_write(control_address), NDIS_STATUS_SUCCESS);
  }

  std::string adapter_path(const std::string& file,
                           const std::string& name = kDefaultAdapterName) const {
    return adapter_folder(folder_, name) + "/" + file;
  }
  std::vector<std::string> trace() const { return read_lines(adapter_path(kTraceFileName)); }
  std::string last_trace() const {
    auto lines = trace();
    return lines.empty() ? "" : lines.back();
  }

  std::string folder_;
  std::unique_ptr<RegistryFile> registry_;
  std::unique_ptr<EmulatedLibrary> library_;
  platform::AdapterHandle handle_ = platform::kInvalidAdapter;
};

}  // namespace devov::emulator::test
