// The flash write protocol as the driver enforces it, the memory the writes
// reach (flash, copy B, the type 1 read window), and what the adapter
// answers after it restarts on finish.
#include <cstring>

#include "emulator/adapter_memory.h"
#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

std::vector<std::uint8_t> file_bytes(const std::string& path, std::size_t at, std::size_t n) {
  auto all = read_memory_file(path);
  if (all.size() < at + n) return {};
  return {all.begin() + at, all.begin() + at + n};
}

// An identity block as the firmware generator lays it out.
std::vector<std::uint8_t> identity_block(std::uint16_t component, FirmwareVersion v,
                                         const std::string& file) {
  std::vector<std::uint8_t> block(32, 0);
  std::memcpy(block.data(), "6271FWID", 8);
  const std::uint16_t words[4] = {component, v.major, v.minor, v.variant};
  for (int i = 0; i < 4; ++i) {
    block[8 + 2 * i] = static_cast<std::uint8_t>(words[i]);
    block[9 + 2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
  }
  std::memcpy(block.data() + 16, file.data(), file.size());
  return block;
}

FirmwareVersion identity_of(const std::vector<std::uint16_t>& words) {
  return {words[4], words[5], words[3]};
}

class EmulatedWriteProtocol : public EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    make();
    open();
  }
  std::vector<std::uint8_t> flash_at(std::uint32_t at, std::size_t n) const {
    return file_bytes(adapter_path(kFlashFileName), at, n);
  }
};

struct SessionCase {
  const char* name;
  std::vector<std::uint32_t> steps;  // sets sent before the write; kControl is the control write
  std::uint32_t status;
  const char* refused;  // nullptr: accepted
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

constexpr std::uint32_t kControl = 0;

const SessionCase kSessions[] = {
    {"nothing", {}, NDIS_STATUS_FAILURE, "aux port not enabled"},
    {"enable_only", {OID_ENABLE_AUX}, NDIS_STATUS_FAILURE, "protocols not blocked, no control write"},
    {"no_control_write", {OID_BLOCK_PROTOCOLS, OID_ENABLE_AUX}, NDIS_STATUS_FAILURE,
     "no control write"},
    {"not_blocked", {OID_ENABLE_AUX, kControl}, NDIS_STATUS_FAILURE, "protocols not blocked"},
    // The control write needs the aux port, so it was refused too.
    {"control_before_enable", {OID_BLOCK_PROTOCOLS, kControl}, NDIS_STATUS_FAILURE,
     "aux port not enabled"},
    {"image_order", {OID_BLOCK_PROTOCOLS, OID_ENABLE_AUX, kControl}, NDIS_STATUS_SUCCESS, nullptr},
    // write_pda sends its control write before blocking the protocols.
    {"pda_order", {OID_ENABLE_AUX, kControl, OID_BLOCK_PROTOCOLS}, NDIS_STATUS_SUCCESS, nullptr},
    {"unblocked", {OID_BLOCK_PROTOCOLS, OID_ENABLE_AUX, kControl, OID_UNBLOCK_PROTOCOLS},
     NDIS_STATUS_FAILURE, "protocols not blocked, no control write"},
    {"finished", {OID_BLOCK_PROTOCOLS, OID_ENABLE_AUX, kControl, OID_FINISH}, NDIS_STATUS_FAILURE,
     "aux port not enabled"},
};

class EmulatedWriteSession : public EmulatedWriteProtocol, public ::testing::WithParamInterface<SessionCase> {};

TEST_P(EmulatedWriteSession, AnAuxWriteIsTakenOnlyInsideAWriteSession) {
  const SessionCase& c = GetParam();
  for (auto step : c.steps) {
    if (step == kControl) control_write();
    else set(step);
  }
  const std::vector<std::uint8_t> data{1, 2, 3, 4};
  EXPECT_EQ(aux_write(0x100000, data), c.status);
  std::string expected =
      "request set oid=0xFF01018C len=10 addr=0x00100000 n=4 status=" +
      std::string(c.status == NDIS_STATUS_SUCCESS ? "0x00000000" : "0xC0000001");
  if (c.refused) expected += " refused=\"" + std::string(c.refused) + "\"";
  EXPECT_EQ(last_trace(), expected);
  EXPECT_EQ(flash_at(0x100000, 4),
            c.refused ? std::vector<std::uint8_t>(4, 0xFF) : data);
}

INSTANTIATE_TEST_SUITE_P(Sessions, EmulatedWriteSession, ::testing::ValuesIn(kSessions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmulatedWriteProtocol, AControlWriteElsewhereOrWithOtherDataOpensNoSession) {
  ASSERT_EQ(set(OID_BLOCK_PROTOCOLS), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(control_write(0x1FEE66), NDIS_STATUS_INVALID_DATA);
  EXPECT_EQ(last_trace(),
            "request set oid=0xFF01018B len=8 addr=0x001FEE66 n=2 status=0xC0010015 "
            "refused=\"control write belongs at 0x007FDE66\"");
  EXPECT_EQ(set(OID_CONTROL_WRITE, aux_record(0x7FDE66, {0x00, 0xE2})), NDIS_STATUS_INVALID_DATA);
  EXPECT_EQ(set(OID_CONTROL_WRITE, aux_record(0x7FDE66, {0x00, 0xE1, 0x00})),
            NDIS_STATUS_INVALID_DATA);
  EXPECT_EQ(aux_write(0x100000, {1}), NDIS_STATUS_FAILURE);
  // The control write is a command, not data: the flash there stays erased.
  ASSERT_EQ(control_write(), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(flash_at(0x7FDE66, 2), std::vector<std::uint8_t>(2, 0xFF));
}

TEST_F(EmulatedWriteProtocol, AcceptedWritesReachTheFlashFileAtOnceAndPersistIntoTheNextRun) {
  open_write_session();
  std::vector<std::uint8_t> block(kAuxMaxData);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_EQ(aux_write(0x7E1800, block), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(last_trace(),
            "request set oid=0xFF01018C len=2048 addr=0x007E1800 n=2042 status=0x00000000");
  EXPECT_EQ(flash_at(0x7E1800, block.size()), block);
  EXPECT_EQ(aux_write(0x7FFFFF, {1, 2}), NDIS_STATUS_INVALID_DATA);

  reload();
  open();
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  std::vector<std::uint8_t> read;
  ASSERT_EQ(aux_read(0x7E1800, kAuxMaxData, read), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(read, block);
}

TEST_F(EmulatedWriteProtocol, AfterFinishTheIdentityFollowsTheFirmwareInFlash) {
  open_write_session();
  ASSERT_EQ(aux_write(0x100000, identity_block(31, {1, 5, 3}, "SU010503.HEX")),
            NDIS_STATUS_SUCCESS);
  // A block whose component id is not a primary's is no primary identity.
  ASSERT_EQ(aux_write(0x3E0000, identity_block(31, {9, 9, 9}, "XX.HEX")), NDIS_STATUS_SUCCESS);

  // Until the adapter restarts it runs what it ran.
  std::vector<std::uint16_t> words;
  ASSERT_EQ(read_rid(RID_STA_IDENTITY, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(identity_of(words), (FirmwareVersion{1, 4, 0}));

  ASSERT_EQ(set(OID_UNBLOCK_PROTOCOLS), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(set(OID_FINISH), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(last_trace(), "restart primary=1.1.3 station=1.5.3 files=\"PU010103.HEX SU010503.HEX\"");
  ASSERT_EQ(read_rid(RID_STA_IDENTITY, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(identity_of(words), (FirmwareVersion{1, 5, 3}));
  ASSERT_EQ(read_rid(RID_PRI_IDENTITY, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(identity_of(words), (FirmwareVersion{1, 1, 3}));

  // A primary written later, seen by the next run without a finish of its own.
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(set(OID_BLOCK_PROTOCOLS), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(control_write(), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(aux_write(0x3E0000, identity_block(21, {1, 2, 0}, "PU010200.HEX")),
            NDIS_STATUS_SUCCESS);
  reload();
  open();
  ASSERT_EQ(read_rid(RID_PRI_IDENTITY, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(identity_of(words), (FirmwareVersion{1, 2, 0}));
  ASSERT_EQ(read_rid(RID_FIRMWARE_FILES, words), NDIS_STATUS_SUCCESS);
  std::string files;
  for (std::size_t i = 0; i < 2u * words[0] - 4; ++i)
    if (char ch = static_cast<char>(words[2 + i / 2] >> (8 * (i % 2)))) files += ch;
  EXPECT_EQ(files, "PU010200.HEX SU010503.HEX");
}

TEST_F(EmulatedWriteProtocol, BitThirtyOneWritesAndReadsTheSecondPdaCopy) {
  open_write_session();
  ASSERT_EQ(aux_write(0x807F0010, {0xAB, 0xCD}), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(file_bytes(adapter_path(kPdaCopyBFileName), 0x10, 2),
            (std::vector<std::uint8_t>{0xAB, 0xCD}));
  EXPECT_NE(flash_at(0x7F0010, 2), (std::vector<std::uint8_t>{0xAB, 0xCD}));
  std::vector<std::uint8_t> read;
  ASSERT_EQ(aux_read(0x807F0010, 2, read), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(read, (std::vector<std::uint8_t>{0xAB, 0xCD}));
  // Below the PDA address there is no second copy.
  EXPECT_EQ(aux_read(0x807EFFFF, 2, read), NDIS_STATUS_INVALID_DATA);
}

TEST_F(EmulatorTest, PlatformTypeOneReadsThroughTheClearedBitsAndWritesAtItsControlAddress) {
  make();
  std::string error;
  AdapterDescription d;
  d.platform_type = 1;
  ASSERT_TRUE(add_adapter(folder_, "type1", d, ProductionData{}, error)) << error;
  EXPECT_EQ(read_memory_file(adapter_path(kFlashFileName, "type1")).size(), 4u << 20);
  reload();
  std::uint8_t record[platform::kAdapterRecordSize];
  ASSERT_EQ(library_->get_adapter_registry_info(record, "0001"), 0u);
  handle_ = library_->open_adapter(
      (std::string("\\Device\\") +
       reinterpret_cast<char*>(record + platform::kAdapterRecordInstanceOffset))
          .c_str());
  ASSERT_NE(handle_, platform::kInvalidAdapter);

  std::vector<std::uint16_t> words;
  ASSERT_EQ(read_rid(RID_PLATFORM, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(words[4], 1);

  ASSERT_EQ(set(OID_BLOCK_PROTOCOLS), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(control_write(0x7FDE66), NDIS_STATUS_INVALID_DATA);
  ASSERT_EQ(control_write(0x1FEE66), NDIS_STATUS_SUCCESS);
  const std::vector<std::uint8_t> pda{0x02, 0x00, 0x00, 0x00, 0x01, 0xB8};
  ASSERT_EQ(aux_write(0x3F0000, pda), NDIS_STATUS_SUCCESS);

  // The program clears bits 17 and 18 of its reads on type 1.
  std::vector<std::uint8_t> read;
  ASSERT_EQ(aux_read(0x390000, 6, read), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(read, pda);
  ASSERT_EQ(aux_read(0x80390000, 6, read), NDIS_STATUS_SUCCESS);
  const auto b = build_pda_words(ProductionData{});
  EXPECT_EQ(read[0] | read[1] << 8, b[0]);
  EXPECT_EQ(read[2] | read[3] << 8, b[1]);
}

}  // namespace
}  // namespace devov::emulator::test
