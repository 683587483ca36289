// Faults injected from the adapter's description, each seen at the request
// level and in the trace.
#include "emulator/adapter_memory.h"
#include "production/pda_list.h"
#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

class EmulatedFaults : public EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    make();
  }
  std::uint32_t driver_version() {
    std::uint8_t v[4];
    return request(kRequestQuery, OID_GEN_VENDOR_DRIVER_VERSION, v, 4);
  }
  // The verdict the program reaches on a PDA copy's words.
  struct Verdict {
    int records;
    bool crc_ok;
  };
  Verdict verdict(std::uint32_t address) {
    std::vector<std::uint8_t> data;
    EXPECT_EQ(aux_read(address, kPdaCopyBytes, data), NDIS_STATUS_SUCCESS);
    std::vector<std::uint16_t> words(kPdaCopyBytes / 2);
    for (std::size_t i = 0; i < words.size(); ++i)
      words[i] = static_cast<std::uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
    PdaList list;
    const int records = list.load_words(words.data(), static_cast<std::uint16_t>(words.size()));
    return {records, list.received_crc() == list.stored_crc()};
  }
};

struct StatusFaultCase {
  const char* name;
  const char* value;
  std::vector<std::uint32_t> statuses;  // of four calls in a row
  const char* fault;                    // in the trace of the first failing call
};

void PrintTo(const StatusFaultCase& c, std::ostream* os) { *os << c.name; }

const std::uint32_t kOk = NDIS_STATUS_SUCCESS;
const std::uint32_t kFail = NDIS_STATUS_FAILURE;

const StatusFaultCase kStatusFaults[] = {
    {"always", "0x00010116 0xC0000001 always", {kFail, kFail, kFail, kFail}, "status always"},
    {"once", "0x00010116 0xC0000001 once", {kFail, kOk, kOk, kOk}, "status once"},
    {"from_third", "0x00010116 0xC0000001 from 3", {kOk, kOk, kFail, kFail},
     "status from call 3"},
    {"other_oid", "0xFF020198 0xC0000001 always", {kOk, kOk, kOk, kOk}, nullptr},
};

class EmulatedStatusFault : public EmulatedFaults, public ::testing::WithParamInterface<StatusFaultCase> {};

TEST_P(EmulatedStatusFault, AStatusFaultAnswersItsOidAtTheCallsItNames) {
  const auto& c = GetParam();
  set_keys({{"fault_status", c.value}});
  open();
  std::vector<std::uint32_t> statuses;
  bool traced = false;
  for (int i = 0; i < 4; ++i) {
    statuses.push_back(driver_version());
    if (statuses.back() != kOk && !traced) {
      traced = true;
      EXPECT_EQ(last_trace(), "request query oid=0x00010116 len=4 status=0xC0000001 fault=\"" +
                                  std::string(c.fault) + "\"");
    }
  }
  EXPECT_EQ(statuses, c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Faults, EmulatedStatusFault, ::testing::ValuesIn(kStatusFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmulatedFaults, AStatusFaultOnFinishKeepsTheAdapterFromRestarting) {
  set_keys({{"fault_status", "0xFF020198 0xC0000001 once"}});
  open();
  EXPECT_EQ(set(OID_FINISH), kFail);
  EXPECT_EQ(last_trace().rfind("request set oid=0xFF020198", 0), 0u);
  EXPECT_EQ(set(OID_FINISH), kOk);
  EXPECT_EQ(last_trace().rfind("restart ", 0), 0u);
}

struct BlockFaultCase {
  const char* name;
  const char* value;
  std::vector<std::uint32_t> statuses;  // of four block writes in a row
};

void PrintTo(const BlockFaultCase& c, std::ostream* os) { *os << c.name; }

const BlockFaultCase kBlockFaults[] = {
    {"once", "once", {kFail, kOk, kOk, kOk}},
    {"twice", "twice", {kFail, kFail, kOk, kOk}},
    {"once_at_second", "once 2", {kOk, kFail, kOk, kOk}},
    {"twice_at_third", "twice 3", {kOk, kOk, kFail, kFail}},
};

class EmulatedBlockFault : public EmulatedFaults, public ::testing::WithParamInterface<BlockFaultCase> {};

TEST_P(EmulatedBlockFault, ABlockWriteFailsOnceOrTwiceAtTheNthBlockAndWritesNothingThen) {
  const auto& c = GetParam();
  set_keys({{"fault_block_write", c.value}});
  open();
  open_write_session();
  std::vector<std::uint32_t> statuses;
  for (std::uint8_t i = 0; i < 4; ++i) {
    statuses.push_back(aux_write(0x100000 + 0x10 * i, {i, i}));
    if (statuses.back() != kOk) {
      EXPECT_NE(last_trace().find(" status=0xC0000001 fault=\"block write "), std::string::npos);
    }
  }
  EXPECT_EQ(statuses, c.statuses);
  const auto flash = read_memory_file(adapter_path(kFlashFileName));
  for (std::uint8_t i = 0; i < 4; ++i)
    EXPECT_EQ(flash[0x100000 + 0x10 * i], c.statuses[i] == kOk ? i : 0xFF) << int{i};
}

INSTANTIATE_TEST_SUITE_P(Faults, EmulatedBlockFault, ::testing::ValuesIn(kBlockFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmulatedFaults, EnableAuxRefusedAndProbeUnsupported) {
  set_keys({{"enable_aux", "refused"}, {"probe", "unsupported"}});
  open();
  EXPECT_EQ(set(OID_ENABLE_AUX), kFail);
  EXPECT_EQ(last_trace(),
            "request set oid=0xFF010184 len=0 status=0xC0000001 refused=\"driver refuses "
            "enable-aux\"");
  std::uint8_t probe[8] = {};
  EXPECT_EQ(request(kRequestQuery, OID_PROBE, probe, 8), NDIS_STATUS_INVALID_OID);
  // Without the aux port nothing can be read or written.
  std::vector<std::uint8_t> data;
  EXPECT_EQ(aux_read(0x7F0000, 2, data), kFail);
}

TEST_F(EmulatedFaults, RidsAnsweredWithLengthZeroSucceedWithoutData) {
  set_keys({{"fault_rid_length_zero", "0xFD20 0xFFFF"}});
  open();
  std::vector<std::uint16_t> words;
  EXPECT_EQ(read_rid(RID_STA_IDENTITY, words), kOk);
  EXPECT_EQ(words[0], 0);
  EXPECT_EQ(last_trace(),
            "request query oid=0xFF010181 len=504 rid=0xFD20 status=0x00000000 fault=\"rid "
            "length 0\"");
  EXPECT_EQ(read_rid(RID_FIRMWARE_FILES, words), kOk);
  EXPECT_EQ(words[0], 0);
  EXPECT_EQ(read_rid(RID_PRI_IDENTITY, words), kOk);
  EXPECT_EQ(words[0], 5);
}

TEST_F(EmulatedFaults, PlatformTypeThreeIsAnsweredWithTheLayoutOfTypeTwo) {
  set_keys({{"platform_type", "3"}});
  open();
  std::vector<std::uint16_t> words;
  ASSERT_EQ(read_rid(RID_PLATFORM, words), kOk);
  EXPECT_EQ(words[4], 3);
  ASSERT_EQ(set(OID_ENABLE_AUX), kOk);
  EXPECT_EQ(control_write(0x7FDE66), kOk);
  EXPECT_EQ(verdict(0x7F0000).records, 8);
}

struct PdaFaultCase {
  const char* name;
  const char* pda_a;
  const char* pda_b;
  int records_a;
  bool crc_a;
  int records_b;
  bool crc_b;
};

void PrintTo(const PdaFaultCase& c, std::ostream* os) { *os << c.name; }

// The sound default PDA has 7 records and the end record.
const PdaFaultCase kPdaFaults[] = {
    {"stored", "stored", "stored", 8, true, 8, true},
    {"a_erased", "erased", "stored", 0, true, 8, true},
    {"a_bad_crc", "bad_crc", "stored", 8, false, 8, true},
    {"b_erased", "stored", "erased", 8, true, 0, true},
    {"b_bad_crc", "stored", "bad_crc", 8, true, 8, false},
};

class EmulatedPdaFault : public EmulatedFaults, public ::testing::WithParamInterface<PdaFaultCase> {};

TEST_P(EmulatedPdaFault, ReadsOfAPdaCopyAnswerItErasedOrWithItsCrcDamaged) {
  const auto& c = GetParam();
  set_keys({{"pda_a", c.pda_a}, {"pda_b", c.pda_b}});
  open();
  ASSERT_EQ(set(OID_ENABLE_AUX), kOk);
  const Verdict a = verdict(0x7F0000), b = verdict(0x807F0000);
  EXPECT_EQ(a.records, c.records_a);
  EXPECT_EQ(b.records, c.records_b);
  if (a.records) {
    EXPECT_EQ(a.crc_ok, c.crc_a);
  }
  if (b.records) {
    EXPECT_EQ(b.crc_ok, c.crc_b);
  }
  // Reads elsewhere are untouched, and the files keep the sound copies.
  std::vector<std::uint8_t> beside;
  ASSERT_EQ(aux_read(0x7F0000 + kPdaCopyBytes, 2, beside), kOk);
  EXPECT_EQ(beside, std::vector<std::uint8_t>(2, 0xFF));
  const auto flash = read_memory_file(adapter_path(kFlashFileName));
  EXPECT_EQ(flash[0x7F0000], 7);
}

INSTANTIATE_TEST_SUITE_P(Faults, EmulatedPdaFault, ::testing::ValuesIn(kPdaFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmulatedFaults, APartialReadOfAnErasedCopyIsErasedOnlyWhereItOverlapsTheCopy) {
  set_keys({{"pda_a", "erased"}});
  open();
  ASSERT_EQ(set(OID_ENABLE_AUX), kOk);
  open_write_session();
  ASSERT_EQ(aux_write(0x7EFFFE, {0x11, 0x22}), kOk);
  std::vector<std::uint8_t> data;
  ASSERT_EQ(aux_read(0x7EFFFE, 4, data), kOk);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{0x11, 0x22, 0xFF, 0xFF}));
}

TEST_F(EmulatedFaults, TheAdapterIsRemovedAfterNRequests) {
  set_keys({{"removed_after", "3"}});
  open();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(set(OID_ENABLE_AUX), kOk);
  EXPECT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_ADAPTER_REMOVED);
  EXPECT_EQ(last_trace(),
            "request set oid=0xFF010184 len=0 status=0xC0010018 fault=\"adapter removed\"");
  library_->close_adapter(handle_);
  EXPECT_EQ(open_default(), platform::kInvalidAdapter);
  EXPECT_EQ(library_->get_last_error(), kErrorDeviceNotConnected);
  EXPECT_NE(last_trace().find("refused=\"adapter removed\""), std::string::npos);
}

TEST_F(EmulatedFaults, ADisabledAdapterHasCsConfigFlagsBitZeroInItsDeviceInstanceKey) {
  const char* nt_key =
      "HKEY_LOCAL_MACHINE\\system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\"
      "CurrentControlSet\\Enum\\usb\\vid_6271&pid_0001\\VLK000001";
  ASSERT_NE(registry_->node(nt_key), nullptr);
  EXPECT_EQ(*registry_->node(nt_key)->value("CSConfigFlags"),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
  set_keys({{"disabled", "yes"}});
  EXPECT_EQ(*registry_->node(nt_key)->value("CSConfigFlags"),
            (std::vector<std::uint8_t>{1, 0, 0, 0}));
  // The description decides both ways, whatever system.reg says.
  set_keys({{"disabled", "no"}});
  EXPECT_EQ(*registry_->node(nt_key)->value("CSConfigFlags"),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(EmulatorTest, OnNineXTheHardwareProfileFlagsStandUnderCurrentConfig) {
  make({"9x", 4, 10, true});
  set_keys({{"disabled", "yes"}});
  const auto* key = registry_->node("HKEY_CURRENT_CONFIG\\Enum\\usb\\vid_6271&pid_0001\\VLK000001");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->value("CSConfigFlags")->at(0) & 1, 1);
}

TEST_F(EmulatedFaults, ADescriptionThatDoesNotParseKeepsItsAdapterFromOpening) {
  std::ofstream(adapter_path(kDescriptionFileName), std::ios::app) << "platfrom_type = 2\n";
  reload();
  EXPECT_EQ(open_default(), platform::kInvalidAdapter);
  EXPECT_EQ(library_->get_last_error(), kErrorInvalidData);
}

}  // namespace
}  // namespace devov::emulator::test
