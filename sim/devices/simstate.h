// The simulator's shared state for the library stand-ins: the description
// file in the state directory, under the same cross-process lock that
// QORASIM.DLL takes, and the fault plan entries fault_KIND=N:CODE[:EXTRA].
#pragma once
#include <string>
#include <functional>
#include "simdesc.h"

// QORA_SIM_DIR, else StateDir of HKLM\HARDWARE\DEVICEMAP\QoraSim; empty when neither.
std::string simStateDir();

// Runs `fn` on the whole description under the lock and saves it when `fn`
// sets `changed`. False when there is no readable description.
bool simWithDescription(const std::function<bool(SimDescription&, bool& changed)>& fn);

// Takes one planned fault of KIND from `dev` ("N:CODE[:EXTRA]", N counting
// down). True with the code (and extra, 0 when absent) when one was due.
bool simTakeFault(SimDevice& dev, const std::string& kind, int& code, int& extra);

// The drive device holds cartridge `cart` (empty: nothing), as the changer
// loads its drives: loaded=1 and the image cart_CART.tap (optical: cart_CART).
void simDriveHolds(SimDevice& drive, const std::string& cart);
