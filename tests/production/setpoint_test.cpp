// Set point and integrator records: the values each domain takes from the
// source tables, the refusals, and that a second run changes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "production/pda_list.h"
#include "production/setpoint.h"
#include "tests/production/pda_records.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

// Source tables whose data words all differ: 0x0900's data word k is
// 0x9000 + k, 0x0901's is 0x9100 + k.
Words source(std::uint16_t code, std::uint16_t length, std::uint16_t base) {
  Words r{length, code};
  for (std::uint16_t k = 0; k + 1 < length; ++k) r.push_back(static_cast<std::uint16_t>(base + k));
  return r;
}

Words domain_record(std::uint16_t domain_word, std::uint16_t length = 7) {
  Words r{length, 0x0103, 0x1111};
  r.push_back(domain_word);
  while (r.size() < length + 1u) r.push_back(0x2222);
  return r;
}

const Words kTable0300 = source(0x0900, 31, 0x9000);
const Words kTable0301 = source(0x0901, 34, 0x9100);

class Setpoint : public ShellTest {
 protected:
  void put_all(const std::vector<Words>& records) {
    for (const auto& r : records) pda.put(r.data());
  }
  PdaList pda;
};

struct DomainCase {
  std::uint16_t domain_word;
  const char* logged_domain;
  std::uint16_t first_value;  // data word of the tables where the 14 values start
  int value0_from;            // data word that replaces value 0, or -1
  int value12_from;           // data word that replaces value 12, or -1
};

TEST_F(Setpoint, EachDomainTakesItsSetAndSubstitutes) {
  const DomainCase cases[] = {
      {0x0010, "10", 0, -1, -1},  {0x0020, "20", 0, -1, -1},
      {0x0030, "30", 0, 14, 15},  {0x1230, "30", 0, 14, 15},
      {0x0031, "31", 0, -1, -1},  {0x0032, "32", 0, -1, 15},
      {0x0040, "40", 16, -1, -1}, {0x0041, "41", 16, -1, -1},
  };
  std::string expected_log;
  for (const DomainCase& c : cases) {
    SCOPED_TRACE("domain word " + std::to_string(c.domain_word));
    pda.clear();
    put_all({kTable0300, kTable0301, domain_record(c.domain_word)});

    auto value = [&](std::uint16_t base, int k) -> std::uint16_t {
      int from = c.first_value + k;
      if (k == 0 && c.value0_from >= 0) from = c.value0_from;
      if (k == 12 && c.value12_from >= 0) from = c.value12_from;
      return static_cast<std::uint16_t>(base + from);
    };
    Words a{0x000F, 0x0300};
    Words b{0x0012, 0x0301};
    for (int k = 0; k < 14; ++k) {
      a.push_back(value(0x9000, k));
      b.push_back(value(0x9100, k));
    }
    b.insert(b.end(), {0x911E, 0x911F, 0x9120});

    EXPECT_EQ(configure_setpoint_integrator(pda), 1);
    expected_log += std::string("PDA entries found: Using domain ") + c.logged_domain + "\n";
    EXPECT_EQ(log_text(), expected_log);
    EXPECT_EQ(records_of(pda), (std::vector<Words>{domain_record(c.domain_word), a, b,
                                                   kTable0300, kTable0301}));
  }
}

TEST_F(Setpoint, UnknownDomainLeavesTheListAsItWas) {
  const std::vector<Words> records{kTable0300, kTable0301, domain_record(0x0050)};
  put_all(records);
  EXPECT_EQ(configure_setpoint_integrator(pda), -1);
  EXPECT_EQ(log_text(), "ERROR - PDA entries found, but domain 50 not recognized!\n");
  EXPECT_EQ(records_of(pda), (std::vector<Words>{records[2], records[0], records[1]}));
}

TEST_F(Setpoint, MissingOrMisSizedSourceLeavesTheListAsItWas) {
  const Words old0300{2, 0x0300, 0xAAAA};
  const Words old0301{2, 0x0301, 0xBBBB};
  const struct {
    const char* name;
    std::vector<Words> records;
  } cases[] = {
      {"no 0x0103", {kTable0300, kTable0301}},
      {"no 0x0900", {kTable0301, domain_record(0x30)}},
      {"no 0x0901", {kTable0300, domain_record(0x30)}},
      {"0x0900 of length 30", {source(0x0900, 30, 0x9000), kTable0301, domain_record(0x30)}},
      {"0x0901 of length 33", {kTable0300, source(0x0901, 33, 0x9100), domain_record(0x30)}},
      {"0x0103 of length 6", {kTable0300, kTable0301, domain_record(0x30, 6)}},
  };
  std::string expected_log;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pda.clear();
    put_all(c.records);
    put_all({old0300, old0301});
    const std::vector<Words> before = records_of(pda);

    EXPECT_EQ(configure_setpoint_integrator(pda), 0);
    expected_log +=
        "Not all PDA entries found. Cannot configure Set point and integrator values.\n";
    EXPECT_EQ(log_text(), expected_log);
    EXPECT_EQ(records_of(pda), before);
  }
}

TEST_F(Setpoint, SecondRunReplacesWithTheSameRecords) {
  put_all({kTable0300, kTable0301, domain_record(0x32)});
  ASSERT_EQ(configure_setpoint_integrator(pda), 1);
  const std::vector<Words> once = records_of(pda);
  ASSERT_EQ(once.size(), 5u);
  EXPECT_EQ(configure_setpoint_integrator(pda), 1);
  EXPECT_EQ(records_of(pda), once);
}

}  // namespace
}  // namespace devov::test
