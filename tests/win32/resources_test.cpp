// The built program's resources: manifests, version information and icon.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override { Load(SPINDLEBAY_PROGRAM_PATH); }
  void Load(const char* path) {
    program = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << path;
  }
  void TearDown() override {
    if (program != nullptr) ::FreeLibrary(program);
  }

  std::string Resource(LPCSTR type, WORD language) const {
    HRSRC found = ::FindResourceExA(program, type, MAKEINTRESOURCEA(1), language);
    if (found == nullptr) return std::string();
    HGLOBAL loaded = ::LoadResource(program, found);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    return std::string(bytes, ::SizeofResource(program, found));
  }

  // The languages of the manifest resource 1.
  std::vector<WORD> ManifestLanguages() const {
    std::vector<WORD> languages;
    ::EnumResourceLanguagesA(program, RT_MANIFEST, MAKEINTRESOURCEA(1), AddLanguage,
                             reinterpret_cast<LONG_PTR>(&languages));
    return languages;
  }
  static BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
  }

  static std::string VersionString(const std::string& name) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(SPINDLEBAY_PROGRAM_PATH, &ignored);
    std::vector<char> block(size);
    if (size == 0 || !::GetFileVersionInfoA(SPINDLEBAY_PROGRAM_PATH, 0, size, block.data())) {
      return std::string();
    }
    char* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return std::string();
    }
    return std::string(value, length > 0 ? length - 1 : 0);
  }

  HMODULE program = nullptr;
};

TEST_F(ProgramResources, ApplicationManifestAsksForAdministratorRights) {
  const std::string manifest = Resource(RT_MANIFEST, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  EXPECT_THAT(manifest, HasSubstr("level=\"requireAdministrator\""));
  EXPECT_THAT(manifest, HasSubstr("{e2011457-1546-43c5-a5fe-008deee3d3f0}"));  // Windows Vista
  EXPECT_THAT(manifest, HasSubstr("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"));  // Windows 7
}

// The 64-bit program carries a second manifest, for another language; the 32-bit one its
// first alone.
TEST_F(ProgramResources, SecondManifestOfTheSixtyFourBitProgram) {
  if (!sb::kWideText) {
    EXPECT_THAT(ManifestLanguages(), ElementsAre(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
    return;
  }
  EXPECT_THAT(ManifestLanguages(),
              UnorderedElementsAre(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
  const std::string manifest = Resource(RT_MANIFEST, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  EXPECT_THAT(manifest, HasSubstr("level=\"asInvoker\""));
  EXPECT_THAT(manifest, HasSubstr("Microsoft.Windows.Common-Controls"));
  EXPECT_THAT(manifest, HasSubstr("version=\"6.0.0.0\""));
  EXPECT_THAT(manifest, Not(HasSubstr("requireAdministrator")));
}

TEST_F(ProgramResources, VersionInformationAndIcon) {
  EXPECT_EQ(VersionString("ProductName"), "Spindlebay");
  EXPECT_EQ(VersionString("ProductVersion"), "0.9");
  EXPECT_EQ(VersionString("FileDescription"), sb::kWideText
                                                  ? "Spindlebay disk administration"
                                                  : "Spindlebay disk administration (32-bit)");
  EXPECT_EQ(VersionString("OriginalFilename"),
            sb::kWideText ? "spindlebay.exe" : "spindlebay32.exe");
  EXPECT_NE(::FindResourceA(program, MAKEINTRESOURCEA(1), RT_GROUP_ICON), nullptr);
}

class DemoResources : public ProgramResources {
 protected:
  void SetUp() override { Load(SPINDLEBAY_DEMO_PATH); }
};

// The demo touches no disk: none of its manifests asks for administrator rights.
TEST_F(DemoResources, ManifestsAskForTheInvokersRights) {
  for (const WORD language :
       {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}) {
    const std::string manifest = Resource(RT_MANIFEST, language);
    EXPECT_THAT(manifest, HasSubstr("level=\"asInvoker\"")) << language;
    EXPECT_THAT(manifest, Not(HasSubstr("requireAdministrator"))) << language;
  }
  EXPECT_THAT(Resource(RT_MANIFEST, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
              HasSubstr("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"));  // Windows 7
}

}  // namespace
