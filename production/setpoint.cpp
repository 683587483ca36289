// Set point and integrator values: a selection and copy of words, no
// arithmetic on the values.
#include "production/setpoint.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "production/pda_list.h"
#include "shell/flash_log.h"

namespace devov {
namespace {

// Layout of the source tables' data words.
constexpr std::size_t kSetValues = 14;
constexpr std::size_t kFirstSet = 0;
constexpr std::size_t kSubstituteValue0 = 14;
constexpr std::size_t kSubstituteValue12 = 15;
constexpr std::size_t kSecondSet = 16;
constexpr std::size_t kTrailingWords = 30;
constexpr std::size_t kTrailingCount = 3;
// The data word of 0x0103 whose low byte is the domain.
constexpr std::size_t kDomainDataWord = 1;

// The values that the two substitutes may stand in for.
constexpr std::size_t kValue0 = 0;
constexpr std::size_t kValue12 = 12;

// The IEEE 802.11 regulatory domains the tables carry values for.
constexpr std::uint16_t kDomainUsa = 0x10;
constexpr std::uint16_t kDomainCanada = 0x20;
constexpr std::uint16_t kDomainEurope = 0x30;
constexpr std::uint16_t kDomainSpain = 0x31;
constexpr std::uint16_t kDomainFrance = 0x32;
constexpr std::uint16_t kDomainJapan = 0x40;
constexpr std::uint16_t kDomainJapan2 = 0x41;

bool known_domain(std::uint16_t domain) {
  switch (domain) {
    case kDomainUsa:
    case kDomainCanada:
    case kDomainEurope:
    case kDomainSpain:
    case kDomainFrance:
    case kDomainJapan:
    case kDomainJapan2:
      return true;
    default:
      return false;
  }
}

bool has_length(const std::uint16_t* record, std::uint16_t length) {
  return record && record[kPdrLengthWord] == length;
}

}  // namespace

int configure_setpoint_integrator(PdaList& pda) {
  const std::uint16_t* r = pda.find(kPdrSetpointSource1);
  const std::uint16_t* s = pda.find(kPdrSetpointSource2);
  const std::uint16_t* d = pda.find(kPdrRegulatoryDomain);
  if (!has_length(r, kSetpointSource1Length) || !has_length(s, kSetpointSource2Length) ||
      !has_length(d, kRegulatoryDomainLength)) {
    log_message("Not all PDA entries found. Cannot configure Set point and integrator values.\n");
    return kSetpointSourceMissing;
  }
  const std::uint16_t* r_data = r + kPdrFirstDataWord;
  const std::uint16_t* s_data = s + kPdrFirstDataWord;

  const auto domain =
      static_cast<std::uint16_t>(d[kPdrFirstDataWord + kDomainDataWord] & 0xFFu);
  if (!known_domain(domain)) {
    log_message("ERROR - PDA entries found, but domain %x not recognized!\n",
                {static_cast<std::uint32_t>(domain)});
    return kSetpointUnknownDomain;
  }
  log_message("PDA entries found: Using domain %x\n", {static_cast<std::uint32_t>(domain)});

  std::array<std::uint16_t, kSetpoint1Length + 1> a{kSetpoint1Length, kPdrSetpoint1};
  std::array<std::uint16_t, kSetpoint2Length + 1> b{kSetpoint2Length, kPdrSetpoint2};
  std::uint16_t* a_values = a.data() + kPdrFirstDataWord;
  std::uint16_t* b_values = b.data() + kPdrFirstDataWord;

  const std::size_t set = domain < kDomainJapan ? kFirstSet : kSecondSet;
  std::copy_n(r_data + set, kSetValues, a_values);
  std::copy_n(s_data + set, kSetValues, b_values);
  if (domain == kDomainEurope) {
    a_values[kValue0] = r_data[kSubstituteValue0];
    b_values[kValue0] = s_data[kSubstituteValue0];
  }
  if (domain == kDomainEurope || domain == kDomainFrance) {
    a_values[kValue12] = r_data[kSubstituteValue12];
    b_values[kValue12] = s_data[kSubstituteValue12];
  }
  std::copy_n(s_data + kTrailingWords, kTrailingCount, b_values + kSetValues);

  pda.put(a.data());
  pda.put(b.data());
  return kSetpointConfigured;
}

}  // namespace devov
