// The test disk driver: disks \\.\PhysicalDrive1 to 15 that answer the program's control
// requests from descriptions a loader sends through the control device \\.\SpindlebayTestDisks,
// with a log of every request they received. See tools/testdisk/README.md.
#include <new>

#include "tools/testdisk/driver/control_requests.h"
#include "tools/testdisk/driver/disk_requests.h"
#include "tools/testdisk/driver/disk_table.h"
#include "tools/testdisk/driver/driver_state.h"

namespace sb::testdisk::kernel {
namespace {

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

ControlExtension* ControlOf(PDRIVER_OBJECT driver) {
  for (PDEVICE_OBJECT device = driver->DeviceObject; device != nullptr;
       device = device->NextDevice) {
    auto* extension = static_cast<DeviceExtension*>(device->DeviceExtension);
    if (extension->kind == DeviceKind::kControl) {
      return static_cast<ControlExtension*>(device->DeviceExtension);
    }
  }
  return nullptr;
}

DiskResult AnswerOnDisk(DriverState& state, const DeviceExtension& disk,
                        const DiskRequest& request) {
  // The log keeps the input as it came: the answer may overwrite the shared system buffer.
  std::uint8_t input[kEntryInputBytes];
  const std::size_t kept =
      request.input.size() < sizeof input ? request.input.size() : sizeof input;
  ByteSink(input, sizeof input).Copy(0, request.input.Sub(0, kept));

  SpinLockGuard lock(state.lock);
  DiskSlot& slot = state.disks[disk.number];
  DiskResult result{STATUS_NO_SUCH_DEVICE, 0};
  if (slot.device != nullptr && slot.generation == disk.generation) {
    result = AnswerDiskRequest(slot, request);
  }
  state.log.Add(disk.number, request.code, ByteView(input, kept), request.input.size(),
                request.output.size(), result.status, result.returned);
  return result;
}

NTSTATUS WINAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
  const auto* extension = static_cast<DeviceExtension*>(device->DeviceExtension);
  const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  const auto& parameters = stack->Parameters.DeviceIoControl;
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  const DiskRequest request{parameters.IoControlCode,
                            ByteView(buffer, parameters.InputBufferLength),
                            ByteSink(buffer, parameters.OutputBufferLength)};
  const DiskResult result = extension->kind == DeviceKind::kControl
                                ? AnswerControlRequest(*extension->state, request)
                                : AnswerOnDisk(*extension->state, *extension, request);
  return Complete(irp, result.status, result.returned);
}

// Opens always succeed: Wine ignores what a driver answers to them anyway.
NTSTATUS WINAPI DispatchOpenClose(PDEVICE_OBJECT, PIRP irp) {
  return Complete(irp, STATUS_SUCCESS, 0);
}

void WINAPI Unload(PDRIVER_OBJECT driver) {
  ControlExtension* control = ControlOf(driver);
  if (control == nullptr) return;
  DriverState& state = control->state;
  RemoveAllDisks(state);
  state.log.Free();
  if (state.allocations != 0) {
    DbgPrint("spindlebay testdisk: %ld pool blocks left at unload\n", state.allocations);
  }
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, kControlLinkName);
  IoDeleteSymbolicLink(&link);
  PDEVICE_OBJECT device = state.control;
  state.~DriverState();
  IoDeleteDevice(device);
}

}  // namespace
}  // namespace sb::testdisk::kernel

extern "C" NTSTATUS WINAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
  using namespace sb::testdisk;
  using namespace sb::testdisk::kernel;
  UNICODE_STRING name;
  RtlInitUnicodeString(&name, kControlDeviceName);
  PDEVICE_OBJECT device = nullptr;
  NTSTATUS status = IoCreateDevice(driver, sizeof(ControlExtension), &name, FILE_DEVICE_UNKNOWN, 0,
                                   FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  auto* control = new (device->DeviceExtension) ControlExtension{};
  DriverState& state = control->state;
  control->device = {DeviceKind::kControl, &state, 0, 0};
  state.driver = driver;
  state.control = device;
  KeInitializeMutex(&state.configuration, 0);
  KeInitializeSpinLock(&state.lock);
  if (!state.log.Allocate(state.allocations)) {
    state.~DriverState();
    IoDeleteDevice(device);
    return STATUS_INSUFFICIENT_RESOURCES;
  }
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, kControlLinkName);
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    state.log.Free();
    state.~DriverState();
    IoDeleteDevice(device);
    return status;
  }
  device->Flags |= DO_BUFFERED_IO;
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
