#pragma once

#include <QtGlobal>

namespace platform {

// Neither side of the lobby connection may hear anything for a long while (a
// player waiting for the others' turn, a client idling in the lobby), so a
// link that died without a close or a reset is found by TCP keep-alive probes:
// after a minute of silence, six probes ten seconds apart.
constexpr int KeepAliveIdleSeconds = 60;
constexpr int KeepAliveIntervalSeconds = 10;
constexpr int KeepAliveProbes = 6;
// Data of our own left unacknowledged gives up as soon, not after the
// system's retransmissions of a quarter of an hour.
constexpr int UnacknowledgedLimitMs = (KeepAliveIdleSeconds + KeepAliveIntervalSeconds * KeepAliveProbes) * 1000;

// Sets both on a connected TCP socket's descriptor. An option the system
// refuses is left as it was: the connection works on without it.
void enableKeepAlive(qintptr descriptor);

}  // namespace platform
