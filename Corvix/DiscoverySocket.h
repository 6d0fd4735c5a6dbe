#pragma once

// Sending the discovery request through one adapter and collecting answers.

#include <cstdint>

namespace corvix {

inline constexpr int kInvalidSocket = -1;

// A UDP socket on port 28011 with SO_BROADCAST for the adapter whose first
// address is `address`: bound to that adapter's interface and any address,
// so that answers sent by broadcast reach it too, or to the address alone
// when the interface cannot be used. kInvalidSocket on failure (another
// socket on that port leaves this adapter out of the scan). When the address
// is no longer on this machine (EADDRNOTAVAIL) the adapter table is rebuilt.
int OpenDiscoverySocket(uint32_t address);

// Builds the request from the adapter table and sends it once to the directed
// broadcast address of address/mask, port 28010, after writing the line
// "server_to.sin_addr.s_addr = %x" with that destination to standard output.
// Send errors are ignored. Always returns 0.
int SendDiscoveryRequest(int socket, uint32_t address, uint32_t mask);

// Reads up to 20 datagrams, each after a wait of at most the answer silence
// (ScanTiming); stops at the first silence or failed wait. Accepted answers
// go to RecordAnswer. Returns 0.
int ReceiveAnswers(int socket);

// Closes a socket from OpenDiscoverySocket; true on success.
bool CloseDiscoverySocket(int socket);

}  // namespace corvix
