#pragma once
// The simulated device's settings as a JSON file, so a device keeps what was
// written to it across runs of vx8sim.

#include <QString>

#include "sim/SimDevice.h"

bool SaveSimState(const TSimDevice& device, const QString& fileName);
bool LoadSimState(TSimDevice& device, const QString& fileName);
