// The set point and integrator records: the unit's own values, picked for
// its regulatory domain out of the per-domain source tables of its PDA.
#pragma once

#include <cstdint>

namespace devov {

class PdaList;

// Source tables and the record naming the unit's regulatory domain.
inline constexpr std::uint16_t kPdrSetpointSource1 = 0x0900;
inline constexpr std::uint16_t kPdrSetpointSource2 = 0x0901;
inline constexpr std::uint16_t kPdrRegulatoryDomain = 0x0103;
inline constexpr std::uint16_t kSetpointSource1Length = 31;
inline constexpr std::uint16_t kSetpointSource2Length = 34;
inline constexpr std::uint16_t kRegulatoryDomainLength = 7;

// The derived records the station firmware plugs.
inline constexpr std::uint16_t kPdrSetpoint1 = 0x0300;
inline constexpr std::uint16_t kPdrSetpoint2 = 0x0301;
inline constexpr std::uint16_t kSetpoint1Length = 0x000F;
inline constexpr std::uint16_t kSetpoint2Length = 0x0012;

// What configure_setpoint_integrator answers.
inline constexpr int kSetpointConfigured = 1;
inline constexpr int kSetpointSourceMissing = 0;
inline constexpr int kSetpointUnknownDomain = -1;

// Puts PDR 0x0300 and 0x0301, built from 0x0900 and 0x0901 for the domain
// that 0x0103 names, into `pda` (1). Leaves `pda` unchanged when a source
// record is missing or has another length (0) or the domain is unknown (-1).
int configure_setpoint_integrator(PdaList& pda);

}  // namespace devov
