#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "disk/descriptor.h"
#include "platform/records.h"
#include "support/fake_view.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"

namespace sb {
namespace {

using test::A;

// A 4096-byte descriptor buffer holding source at offset 100.
Bytes BufferWith(const std::string& source) {
  Bytes buffer(rec::kDescriptorBufferSize, 0);
  std::memcpy(buffer.data() + 100, source.data(), source.size());
  return buffer;
}

TEST(DecodeIdString, WorkedExamples) {
  const struct {
    std::string source;
    std::string result;
  } cases[] = {
      {"4469736B2031", "Disk 1"},
      {"202020204469736B", "Disk"},
      {"3132", "12"},
      {"1234", "1234"},
      {"4A4b", "JK"},
      {"414", "A"},
      {"4100424A", "A"},
      {"41 42", "41 42"},
      {"7f41", "7f41"},
      {"  Disk Model 1  ", "Disk Model 1"},
      {"Disk\t1", ""},
      {"    ", "    "},
      {"", ""},
      // Edge cases around the same rules.
      {"123", "123"},            // first pair 12 is a control byte: plain copy
      {"31323", "12"},           // odd digits, printable pairs: last digit dropped
      {"Disk\r1", ""},           // carriage return is not printable
      {"Disk\x7F", ""},          // 127 is not printable
      {"Disk\xC3\xA9", ""},      // bytes above 126 are not printable
      {"\tDisk", ""},            // a leading tab makes the plain copy fail, trim never sees it
      {"20204869202020", "Hi"},  // hex pass then trim on both sides
      {"  \n ", ""},             // line feed is not printable
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeIdString(BufferWith(c.source), 100), c.result) << "source: " << c.source;
  }
}

TEST(DecodeIdString, NeverReadsOutsideTheBuffer) {
  const Bytes buffer = BufferWith("SERIAL");
  EXPECT_EQ(DecodeIdString(buffer, 0), "");
  EXPECT_EQ(DecodeIdString(buffer, -5), "");
  EXPECT_EQ(DecodeIdString(buffer, 4096), "");
  EXPECT_EQ(DecodeIdString(buffer, 0x7FFFFFFF), "");
  // A string that runs to the end of the buffer without a zero keeps the part inside it.
  Bytes full(rec::kDescriptorBufferSize, 'Z');
  EXPECT_EQ(DecodeIdString(full, 4090), "ZZZZZZ");
  EXPECT_EQ(DecodeIdString(full, 4095), "Z");
  // The buffer may be shorter than the usual 4096 bytes.
  const Bytes tiny = {'4', '1', 'x'};
  EXPECT_EQ(DecodeIdString(tiny, 1), "1x");
}

TEST(BusTypeName, MapsTheLowEightBits) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "unknown"}, {1, "Scsi"},          {2, "Atapi"},    {3, "Ata"},      {4, "1394"},
      {5, "Ssa"},     {6, "Fibre"},         {7, "Usb"},      {8, "RAID"},     {9, "iSCSI"},
      {10, "Sas"},    {11, "Sata"},         {12, "unknown"}, {17, "unknown"}, {255, "unknown"},
      {0x107, "Usb"}, {0xFFFFFF0B, "Sata"},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(A(BusTypeName(code)), name) << code;
}

class GetDiskPropertyTest : public test::MachineTest {};

TEST_F(GetDiskPropertyTest, FillsEveryField) {
  sim::Disk disk;
  disk.descriptor = sim::DescriptorBytes({.vendor = "  ACME  ",
                                          .product = "536F6C69642044726976652031",  // hex pairs
                                          .revision = "2.01",
                                          .serial = "2020202053313233",  // hex with leading spaces
                                          .removable = 5,
                                          .bus_type = 7});
  machine.AddDisk(0, disk);
  TDisk_Property property;
  ASSERT_TRUE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive0"), property));
  EXPECT_EQ(A(property.vendor_id), "ACME");
  EXPECT_EQ(A(property.product_id), "Solid Drive 1");
  EXPECT_EQ(A(property.product_revision), "2.01");
  EXPECT_EQ(A(property.serial_number), "S123");
  EXPECT_TRUE(property.removable);
  EXPECT_EQ(A(property.bus_type), "Usb");

  const auto opens = machine.CallsOf("CreateFile");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].access, win::kGenericRead);
  EXPECT_EQ(opens[0].share, win::kFileShareRead | win::kFileShareWrite);
  EXPECT_EQ(opens[0].flags, 0u);
  const auto requests = machine.CallsOf("DeviceIoControl");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, ioctl::kStorageQueryProperty);
  EXPECT_EQ(requests[0].input, Bytes(12, 0));
  EXPECT_EQ(requests[0].out_size, 4096u);
}

TEST_F(GetDiskPropertyTest, ShortAnswersAndZeroOffsetsReadAsEmpty) {
  sim::Disk disk;
  Bytes bytes = sim::DescriptorBytes({.removable = 1, .bus_type = 17});
  disk.descriptor = bytes;
  machine.AddDisk(0, disk);
  machine.AddDisk(1, sim::Disk{.descriptor = Bytes(8, 0xFF)});  // answers only 8 bytes
  TDisk_Property property;
  ASSERT_TRUE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive0"), property));
  EXPECT_EQ(A(property.vendor_id + property.product_id + property.product_revision +
              property.serial_number),
            "");
  EXPECT_TRUE(property.removable);
  EXPECT_EQ(A(property.bus_type), "unknown");

  TDisk_Property short_answer;
  ASSERT_TRUE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive1"), short_answer));
  EXPECT_FALSE(short_answer.removable);
  EXPECT_EQ(A(short_answer.bus_type), "unknown");
}

TEST_F(GetDiskPropertyTest, HostileOffsetsStayInsideTheBuffer) {
  Bytes bytes(rec::kDescriptorHeaderSize, 0);
  ByteWriter writer(bytes);
  writer.U32(rec::kDescriptorVendorIdOffset, 0xFFFFFFFF);  // negative as a signed offset
  writer.U32(rec::kDescriptorProductIdOffset, 4096);       // at the end of the buffer
  writer.U32(rec::kDescriptorProductRevisionOffset, 0x7FFFFFFF);
  writer.U32(rec::kDescriptorSerialNumberOffset, 4095);
  bytes.resize(4096, 'Z');  // no zero byte until the end
  machine.AddDisk(0, sim::Disk{.descriptor = bytes});
  TDisk_Property property;
  ASSERT_TRUE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive0"), property));
  EXPECT_EQ(A(property.vendor_id), "");
  EXPECT_EQ(A(property.product_id), "");
  EXPECT_EQ(A(property.product_revision), "");
  EXPECT_EQ(A(property.serial_number), "Z");
}

TEST_F(GetDiskPropertyTest, FailuresLeaveTheRecordAsItWas) {
  machine.AddDisk(1, sim::Disk{.open_error = win::kErrorAccessDenied});
  machine.AddDisk(2, sim::Disk{});  // no descriptor: the request is not supported
  TDisk_Property property;
  property.product_id = SB_T("before");
  EXPECT_FALSE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive0"), property));
  EXPECT_FALSE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive1"), property));
  EXPECT_FALSE(GetDiskProperty(machine, SB_T("\\\\.\\PhysicalDrive2"), property));
  EXPECT_EQ(A(property.product_id), "before");
  // Only the disk that opened got a request, and its handle was closed.
  EXPECT_EQ(machine.CallsOf("DeviceIoControl").size(), 1u);
  EXPECT_EQ(machine.CallsOf("CloseHandle").size(), 1u);
}

}  // namespace
}  // namespace sb
