// The demo repository's stand-in installers, run by the download runner in a fresh machine:
// they register what detection looks for, and their removal takes it all away again.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/check_installations.h"
#include "engine/component_entry.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace reg = platform::registry;

namespace {

struct StandIn {
  const char* name;
  const char* file;
  const char* code;
  const char* folder;
  const char* makerKey;  // "" when the product writes none
};

const StandIn kStandIns[] = {
    {"Corvanta Version XI 11.0.0.614 Runtime", "CorvantaRuntime_11_0_0_614_ReDist_151223.exe",
     "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}", "C:\\Program Files (x86)\\Corvanta\\Runtime11\\",
     "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime"},
    {"Corvanta Vision Software Version XI 11.0.0.614",
     "CorvantaVisionSoftware_11_0_0_614_151223.exe", "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}",
     "C:\\Program Files (x86)\\Corvanta\\VisionSoftware11\\", ""},
};

class DemoRepository : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ui::setBackend(&ui_);
    ui_.setModalLimit(30000);
  }
  void TearDown() override { ui::setBackend(nullptr); }

  const platform::machine::Product* product(const std::string& code) {
    products_ = platform::machine::products();
    auto it = std::find_if(products_.begin(), products_.end(),
                           [&](const auto& p) { return p.code == code; });
    return it == products_.end() ? nullptr : &*it;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  ui::ScriptedUi ui_;
  std::string name_, state_, progress_;
  std::vector<platform::machine::Product> products_;
};

TEST_F(DemoRepository, StandInsInstallAndRemoveTheirProducts) {
  const std::string folderUrl = demo_.url("corvanta/files/InstallerDownloads/Corvanta11.0/614/");
  for (const StandIn& s : kStandIns) {
    SCOPED_TRACE(s.name);
    ComponentEntry entry(s.name, (folderUrl + s.file).c_str(), s.file, " ",
                         "C:\\App\\_CorvantaInstallData\\Core", false, false, &name_, &state_,
                         &progress_, "Core Components");
    DDownloadAndInstallComponent runner(1, 1, &entry, false, false, true);
    ASSERT_EQ(runner.doModal(), win::IDOK);

    const auto* installed = product(s.code);
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->context, 4);
    EXPECT_EQ(installed->properties.at("InstalledProductName"), s.name);
    EXPECT_EQ(installed->properties.at("VersionString"), "11.0.0.614");
    EXPECT_TRUE(platform::files::isDirectory(s.folder));
    if (*s.makerKey) {
      EXPECT_EQ(reg::readString(reg::Hive::LocalMachine, s.makerKey, "InstallPath", 512)
                    .value_or(""),
                s.folder);
    }

    ASSERT_TRUE(mxCheckInstallations::removeComponent(entry));
    EXPECT_EQ(product(s.code), nullptr);
    EXPECT_FALSE(platform::files::isDirectory(s.folder));
    if (*s.makerKey) {
      EXPECT_FALSE(reg::keyExists(reg::Hive::LocalMachine, s.makerKey));
    }
  }
  EXPECT_TRUE(ui_.messages().empty());
}

}  // namespace
