// The host address table for both known host versions.
#include "host/host_addresses.h"

//                                              interpreter  script space  tick site  shutdown site  shutdown cont.
//                                              reinit site  reinit cont.  text patch  text cont.
const HostAddresses kFirstVersionAddresses = { 0x44FBE0, 0x821280, 0x44FDBA, 0x49581C, 0x4A6E80,
                                               0x4A4E9B, 0x450330, 0x584F35, 0x584F37 };
const HostAddresses kSecondVersionAddresses = { 0x44FBE0, 0x821288, 0x44FDBA, 0x49582C, 0x4A6EA0,
                                                0x4A4EBB, 0x450330, 0x584F55, 0x584F57 };

HostAddresses hostAddresses = kFirstVersionAddresses;
