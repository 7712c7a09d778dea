// The bytes the x64 kernel returns for the native queries the simulated machine serves. Images
// are laid out as if the caller's buffer started at address 0; PlaceImage relocates them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace kxp::sim::detail {

// Process records (class 5), each followed by its NUL-terminated UTF-16 name, 8-byte aligned.
// No thread records follow a process record: nothing the machine serves reads them.
SimRawProcessBuffer ProcessImage(const std::vector<SimProcess>& processes);

// Paging-file records (class 18), each followed by its file name.
SimRawProcessBuffer PageFileImage(const std::vector<SimPageFile>& pageFiles);

// Copies the image to buffer (which holds at least its size) and turns its offsets into
// addresses inside buffer.
void PlaceImage(const SimRawProcessBuffer& image, std::uint8_t* buffer);

}  // namespace kxp::sim::detail
