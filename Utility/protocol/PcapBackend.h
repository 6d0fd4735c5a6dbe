#pragma once

#include "CaptureBackend.h"

namespace ambrel {

// The capture backend on libpcap. Lists the Ethernet devices (not "any",
// loopback or pseudo devices), queries MACs with SIOCGIFHWADDR and opens
// handles with the management-frame filter.
CaptureBackend& PcapCaptureBackend();

// Installs the libpcap backend as the transport's backend.
void UsePcapBackend();

// True when the last open failed for lack of privilege (raw frames need root
// or CAP_NET_RAW).
bool PcapPermissionDenied();

}  // namespace ambrel
