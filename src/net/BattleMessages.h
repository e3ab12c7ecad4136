#pragma once
// The battle as the other machines apply it: each action of the player on
// turn, the unit states sent when a turn ends, a player's defeat or departure.

#include <cstdint>

namespace modStrat {

// The unit and building numbers that earlier parts named, kept across lines
// (a message comes as one line or as a run of one-part lines) and battles.
inline std::int32_t RemoteUnit = 0;
inline std::int32_t RemoteCarrier = 0;
inline std::int32_t RemoteDamage = 0;
inline std::int32_t RemoteBuilding = 0;
inline std::int32_t RemoteAttacker = 0;
inline std::int32_t RemoteCounterDamage = 0;

// All back to 0, as at program start (tests start from a clean slate).
void ResetRemoteScratch();

}  // namespace modStrat
