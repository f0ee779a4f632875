#include "tools/testdisk/driver/disk_table.h"

#include <utility>

#include "tools/testdisk/driver/description.h"
#include "tools/testdisk/driver/object_name.h"

namespace sb::testdisk::kernel {
namespace {

// Owns a disk device until it is handed to its slot: deletes its link and the device on
// every path that gives up.
class DiskDevice {
 public:
  explicit DiskDevice(std::uint32_t number) : number_(number) {}
  DiskDevice(const DiskDevice&) = delete;
  DiskDevice& operator=(const DiskDevice&) = delete;
  ~DiskDevice() {
    if (linked_) IoDeleteSymbolicLink(ObjectName(kDiskLinkNamePrefix, number_).get());
    if (device_ != nullptr) IoDeleteDevice(device_);
  }

  NTSTATUS Create(PDRIVER_OBJECT driver) {
    ObjectName name(kDiskDeviceNamePrefix, number_);
    NTSTATUS status = IoCreateDevice(driver, sizeof(DeviceExtension), name.get(), FILE_DEVICE_DISK,
                                     0, FALSE, &device_);
    if (!NT_SUCCESS(status)) {
      device_ = nullptr;
      return status;
    }
    // The link of a number in use (\??\PhysicalDrive0 is Wine's own) is never replaced.
    status = IoCreateSymbolicLink(ObjectName(kDiskLinkNamePrefix, number_).get(), name.get());
    linked_ = NT_SUCCESS(status);
    return status;
  }

  PDEVICE_OBJECT get() const { return device_; }
  PDEVICE_OBJECT Release() {
    linked_ = false;
    PDEVICE_OBJECT device = device_;
    device_ = nullptr;
    return device;
  }

 private:
  std::uint32_t number_;
  PDEVICE_OBJECT device_ = nullptr;
  bool linked_ = false;
};

void DeleteDiskDevice(std::uint32_t number, PDEVICE_OBJECT device) {
  IoDeleteSymbolicLink(ObjectName(kDiskLinkNamePrefix, number).get());
  IoDeleteDevice(device);
}

}  // namespace

NTSTATUS AddDisk(DriverState& state, ByteView description) {
  if (!IsValidDescription(description)) return STATUS_INVALID_PARAMETER;
  const std::uint32_t number = description.U32(kDiskNumber);
  MutexGuard configuration(state.configuration);
  if (state.disks[number].device != nullptr) return STATUS_OBJECT_NAME_COLLISION;

  PoolBlock copy = PoolBlock::Allocate(state.allocations, description.size());
  if (!copy) return STATUS_INSUFFICIENT_RESOURCES;
  ByteSink(copy.data(), copy.size()).Copy(0, description);

  DiskDevice device(number);
  const NTSTATUS status = device.Create(state.driver);
  if (!NT_SUCCESS(status)) return status;
  const std::uint32_t generation = ++state.generations;
  auto* extension = static_cast<DeviceExtension*>(device.get()->DeviceExtension);
  *extension = {DeviceKind::kDisk, &state, number, generation};
  device.get()->Flags |= DO_BUFFERED_IO;

  {
    SpinLockGuard lock(state.lock);
    DiskSlot& slot = state.disks[number];
    slot.description = std::move(copy);
    slot.attributes = description.U64(kDiskAttributes);
    slot.flags = description.U32(kDiskFlags);
    slot.generation = generation;
    slot.device = device.get();
  }
  device.get()->Flags &= ~DO_DEVICE_INITIALIZING;
  device.Release();
  return STATUS_SUCCESS;
}

NTSTATUS RemoveDisk(DriverState& state, std::uint32_t number) {
  if (number < kFirstDisk || number > kLastDisk) return STATUS_INVALID_PARAMETER;
  MutexGuard configuration(state.configuration);
  PoolBlock description;
  PDEVICE_OBJECT device = nullptr;
  {
    SpinLockGuard lock(state.lock);
    DiskSlot& slot = state.disks[number];
    if (slot.device == nullptr) return STATUS_NO_SUCH_DEVICE;
    description = std::move(slot.description);
    device = slot.device;
    slot = DiskSlot();
  }
  // Requests still under way on the device find no slot and fail; Windows keeps the device
  // object itself until its last handle is closed.
  DeleteDiskDevice(number, device);
  return STATUS_SUCCESS;
}

void RemoveAllDisks(DriverState& state) {
  for (std::uint32_t number = kFirstDisk; number <= kLastDisk; ++number) {
    RemoveDisk(state, number);
  }
}

}  // namespace sb::testdisk::kernel
