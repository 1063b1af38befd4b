#pragma once

#include <cstdint>
#include <vector>

// Everything sent to or received from a device.
using TByteArray = std::vector<std::uint8_t>;
