// Disks of the simulated machine as the test disk driver takes them: each sim::Disk becomes
// one disk description (protocol.h) that answers every request with the bytes, the word or
// the failure the simulated disk gives.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/sim/sim_machine.h"

namespace sb::testdisk {

// A disk the driver cannot stand in for as described.
class DescriptionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The status whose failure Wine reports as this Windows error code, if one is known.
std::optional<std::uint32_t> StatusOfError(std::uint32_t error);

// The description of disk number. Throws DescriptionError for a number the driver does not
// serve or a failure code with no known status. What the driver cannot do (refuse the open)
// is left out and named in warnings.
Bytes DescribeDisk(std::uint32_t number, const sim::Disk& disk, std::vector<std::string>& warnings);

// The descriptions of disks 1 to 15 of machine, one after the other, as `testdisk-ctl load`
// reads them. Disk 0 and the volumes stay Wine's, and a disk whose open is refused is no
// disk to the driver: they are left out with a warning.
Bytes DescribeMachine(sim::SimMachine& machine, std::vector<std::string>& warnings);

// Splits what DescribeMachine wrote back into descriptions; throws DescriptionError when the
// bytes do not divide into whole descriptions.
std::vector<Bytes> SplitDescriptions(ConstBytes image);

}  // namespace sb::testdisk
