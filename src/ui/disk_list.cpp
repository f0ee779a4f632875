#include "ui/disk_list.h"

#include "disk/attributes.h"
#include "disk/descriptor.h"
#include "disk/device_path.h"
#include "disk/probe.h"

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
    const std::optional<std::int64_t> length = ProbeDiskLength(platform, number);
    if (!length) continue;
    const std::int64_t megabytes = *length / kBytesPerMegabyte;
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
