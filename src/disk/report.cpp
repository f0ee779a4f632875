#include "disk/report.h"

#include "disk/attributes.h"
#include "disk/descriptor.h"
#include "disk/device_path.h"
#include "disk/report_queries.h"
#include "platform/handle.h"
#include "platform/records.h"

namespace sb {
namespace {

constexpr std::uint32_t kStyleMbr = 0;
constexpr std::uint32_t kStyleGpt = 1;
constexpr std::uint32_t kStyleRaw = 2;

Text StyleLine(std::uint32_t style) {
  switch (style) {
    case kStyleMbr:
      return SB_T("Style: MBR");
    case kStyleGpt:
      return SB_T("Style: GPT");
    case kStyleRaw:
      return SB_T("Style: RAW");
    default:
      return SB_T("???");
  }
}

// The attribute words as the report names them; the 32-bit program shows the disk list's
// texts instead.
Text ReportAttributeText(std::uint64_t word) {
#ifdef SPINDLEBAY_NARROW
  return AttributeText(word);
#else
  Text text;
  if (word == 0) text = SB_T("Normal ");
  if (word & DISK_ATTRIBUTE_OFFLINE) text += SB_T("Offline ");
  if (word & DISK_ATTRIBUTE_READ_ONLY) text += SB_T("Read-Only ");
  return text;
#endif
}

void AddLayoutLines(const LayoutBuffer& layout, Lines& lines) {
  const ByteReader reader(layout);
  const std::uint32_t style = reader.U32(rec::kLayoutPartitionStyle);
  lines.Add(SB_T("->Drive Layout"));
  lines.Add(StyleLine(style));
  lines.Add(SB_T("PartitionCount: ") + DecUnsigned(reader.U32(rec::kLayoutPartitionCount)));
  if (style == kStyleMbr) {
    lines.Add(SB_T("DiskID: ") + MbrDiskIdText(reader.U32(rec::kLayoutMbrSignature)));
  } else if (style == kStyleGpt) {
    lines.Add(SB_T("DiskID: ") +
              GptDiskIdText(ConstBytes(layout).subspan(rec::kLayoutGptDiskId, rec::kGuidSize)));
  }
}

void AddPropertyLines(const TDisk_Property& property, Lines& lines) {
  // Identifiers of a single character are as good as none on the devices that give them.
  if (property.vendor_id.size() > 1) lines.Add(SB_T("Vendorid: ") + property.vendor_id);
  lines.Add(SB_T("ProductID: ") + property.product_id);
  if (property.product_revision.size() > 1) {
    lines.Add(SB_T("ProductRev: ") + property.product_revision);
  }
  if (property.serial_number.size() > 1) lines.Add(SB_T("S/N: ") + property.serial_number);
  lines.Add(SB_T("Removeable:") + BoolText(property.removable));
  lines.Add(SB_T("BusType:") + property.bus_type);
}

}  // namespace

Text MbrDiskIdText(std::uint32_t signature) {
  Text text = HexUpper(signature, 4);
  if (text.size() == 7) text.insert(text.begin(), Char('0'));
  return text;
}

Text GptDiskIdText(ConstBytes guid) {
  const ByteReader reader(guid);
  Text text = SB_T("{") + HexUpper(reader.U32(0), 8) + SB_T("-") + HexUpper(reader.U16(4), 4) +
              SB_T("-") + HexUpper(reader.U16(6), 4) + SB_T("-");
  // The last eight bytes are written in their stored order, split after the second.
  for (std::size_t i = 8; i < rec::kGuidSize; ++i) {
    if (i == 10) text += SB_T("-");
    text += HexUpper(reader.U8(i), 2);
  }
  return text + SB_T("}");
}

void DiskInfoReport(Platform& platform, const Text& path, Lines& lines) {
  lines.Clear();
  const auto disk =
      static_cast<std::uint8_t>(ParseDecimal(RemoveAllNoCase(path, kPhysicalDrivePrefix)));

  lines.Add(SB_T("->Drive Geometry"));
  TDriveParams params;
  if (!GetDriveParams(platform, disk, params)) return;
  lines.Add(SB_T("Cylinders / Heads / Sectors:") + DecUnsigned(params.cylinders) + SB_T(" / ") +
            DecUnsigned(params.heads) + SB_T(" / ") + DecUnsigned(params.sectors_per_track));
  lines.Add(SB_T("BytesPerSector: ") + DecUnsigned(params.bytes_per_sector));

  // The report's own handle serves the length and the failure prediction. A refused open is
  // not reported: both queries then fail and their lines show 0 or are left out.
  UniqueHandle device = OpenExisting(platform, path, win::kGenericRead, kShareReadWrite);
  const std::int64_t length = GetDiskLength(platform, device.get());
  lines.Add(SB_T("->Disk Length"));
  lines.Add(SB_T("Size: ") + Dec(length) + SB_T(" bytes, ") + Dec(length / kBytesPerMegabyte) +
            SB_T(" Mbytes"));
  // A device that answers its geometry with 0 bytes per sector gives no sector size to
  // count with; the report then shows 0 sectors rather than dividing by zero. The divisors
  // are positive, so even a hostile negative length cannot overflow the division.
  const std::int64_t sectors = params.bytes_per_sector == 0 ? 0 : length / params.bytes_per_sector;
  lines.Add(SB_T("TotalSectors: ") + Dec(sectors));

  LayoutBuffer layout{};
  bool have_layout = false;
  try {
    have_layout = GetDriveLayout(platform, path, layout);
  } catch (...) {
    // The reason is not shown; the line stands in for the whole layout section.
    lines.Add(SB_T("->Drive Layout Error!"));
  }
  if (have_layout) AddLayoutLines(layout, lines);

  PredictFailureRecord prediction{};
  if (GetPredictFailure(platform, device.get(), prediction)) {
    const bool predicted = ByteReader(prediction).U32(rec::kPredictFailurePredictFailure) != 0;
    lines.Add(SB_T("->Storage Predict Failure: ") + BoolText(predicted));
  }
  device.reset();

  lines.Add(SB_T("->Storage Property"));
  TDisk_Property property;
  if (GetDiskProperty(platform, path, property)) AddPropertyLines(property, lines);

  CacheInformation cache{};
  if (GetCacheInfo(platform, path, cache)) {
    const ByteReader reader(cache);
    lines.Add(SB_T("->Disk Cache Information"));
    lines.Add(SB_T("ReadCacheEnabled:") + BoolText(reader.U8(rec::kCacheReadCacheEnabled) != 0) +
              SB_T(" / ") + SB_T("WriteCacheEnabled:") +
              BoolText(reader.U8(rec::kCacheWriteCacheEnabled) != 0));
  }

  TGetDiskAttributes attributes;
  if (GetDiskAttributes(platform, path, attributes)) {
    lines.Add(SB_T("->Disk Attributes"));
    lines.Add(SB_T("Attributes: ") + ReportAttributeText(attributes.Attributes));
  }
}

}  // namespace sb
