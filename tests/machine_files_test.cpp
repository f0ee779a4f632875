// The machine files of the test disk driver stay what their comments say they are.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

json Read(const std::string& name) {
  std::ifstream file(std::string(SB_MACHINES_DIR) + "/" + name);
  return json::parse(file);
}

// A disk without what tells one disk from another of its kind: its number, comment, serial
// and partition table identifiers.
json Kind(json disk) {
  for (const char* key : {"number", "comment", "serial"}) disk.erase(key);
  if (disk.contains("layout")) {
    disk["layout"].erase("signature");
    disk["layout"].erase("disk_id");
  }
  return disk;
}

// Every disk of the fifteen is a kind of kinds.json; disks 1 to 11 are its disks 1 to 11
// exactly, the rest copies with identifiers of their own.
TEST(MachineFiles, TheFifteenDisksAreMadeOfTheKinds) {
  const json kinds = Read("kinds.json").at("disks");
  const json fifteen = Read("fifteen_disks.json").at("disks");
  ASSERT_EQ(fifteen.size(), 15u);
  for (const json& disk : fifteen) {
    const unsigned number = disk.at("number").get<unsigned>();
    SCOPED_TRACE("disk " + std::to_string(number));
    bool found = false;
    for (const json& kind : kinds) {
      if (number <= 11 && kind.at("number") == number) {
        json same = disk;
        same.erase("comment");
        json original = kind;
        original.erase("comment");
        EXPECT_EQ(same, original);
        found = true;
      }
      if (number > 11 && Kind(kind) == Kind(disk)) found = true;
    }
    EXPECT_TRUE(found) << disk.dump();
  }
}

}  // namespace
