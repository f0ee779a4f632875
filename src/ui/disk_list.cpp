#include "ui/disk_list.h"

#include "disk/attributes.h"
#include "disk/descriptor.h"
#include "disk/device_path.h"
#include "platform/handle.h"

namespace sb {

namespace {

// Holds the list's drawing back while it is refilled, and lets it draw again on every path.
class ListUpdate {
 public:
  explicit ListUpdate(DiskListView& list) : list_(list) { list_.BeginUpdate(); }
  ListUpdate(const ListUpdate&) = delete;
  ListUpdate& operator=(const ListUpdate&) = delete;
  ~ListUpdate() { list_.EndUpdate(); }

 private:
  DiskListView& list_;
};

}  // namespace

void _Enum_Drives_lv(Platform& platform, DiskListView& list) {
  const ListUpdate update(list);
  list.Clear();
  for (int n = 0; n < kDiskProbeCount; ++n) {
    const Text number = Dec(n);
    std::int64_t length = 0;
    {
      // The probe names the device in lower case; the system treats both forms alike.
      UniqueHandle probe(
          platform, platform.CreateFile(SB_T("\\\\.\\physicaldrive") + number, win::kGenericRead,
                                        win::kFileShareRead | win::kFileShareWrite,
                                        win::kOpenExisting, win::kFileAttributeNormal));
      if (!probe.valid()) continue;
      length = GetDiskLength(platform, probe.get());
    }
    const std::int64_t megabytes = length / 1048576;
    const std::size_t row = list.AppendRow();
    TDisk_Property property;
    GetDiskProperty(platform, DiskPath(number), property);  // on failure the name stays empty
    list.SetCaption(row, number);
    list.AddSubItem(row, SB_T("DISK"));
    list.AddSubItem(row, property.product_id);
    list.AddSubItem(row, Dec(megabytes));
    list.AddSubItem(row, DiskAttributesText(platform, number));
  }
}

}  // namespace sb
