// Every component of the demo repository, end to end: the page's entry is installed by the
// install manager under the scripted UI from the demo server (download, stand-in installer,
// post-install and custom actions), evaluated, then removed again through the uninstall
// runner and the stand-in uninstallers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/install_manager.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr const char* kAppFolder = "C:\\CorvantaInstaller";
constexpr const char* kRuntime = "Corvanta Version XI 11.0.0.614 Runtime";
constexpr const char* kPython = "Python 2.7.9";

enum class Ending {
  Removable,  // installs, reads "Installed", uninstalls to "Not Installed"
  Fixed,      // installs; the catalogue cannot remove it
  NoRow,      // only fetched or run: no presence test can pass, so the install ends "Failed"
};

struct Case {
  std::string name;
  std::vector<std::string> needs;  // installed first, in order
  std::string profile = "win7-sp1-x64";
  Ending ending = Ending::Removable;
};

// Test listings show the component's name instead of the object's bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::vector<Case> allCases() {
  const std::vector<std::string> python = {kPython};
  const std::vector<std::string> runtime = {kRuntime};
  std::vector<Case> cases;
  for (const PageEntry& e : pageEntries()) {
    Case c{e.name, {}};
    std::string name = e.name;
    if (name.find("-py2.7") != std::string::npos || name.find("python2.7") != std::string::npos ||
        name == "pyserial-2.7.win32")
      c.needs = python;
    if (name == "pyparsing-2.0.2.win32-py2.7") c.needs = {kRuntime, kPython};
    if (name == "OpenCV 3.0.0" || name == "Corvanta 9.3.0.524 IPP" ||
        name == "Vantor API 1.0.0.3 Files" || name == "Shared Memory Camera Driver" ||
        name.rfind("AVT ", 0) == 0 || name == "Corvanta OpcRelay 1.9.0.26")
      c.needs = runtime;
    if (name == "OpenCV 2.4.9 (Python 27)")
      c.needs = {kRuntime, kPython, "pywin32-219.win32-py2.7", "pyserial-2.7.win32",
                 "numpy-1.9.1-python2.7", "scipy-0.14.0-python2.7"};
    // A machine that lacks them, so they really get installed.
    if (name == "Windows Installer 3.1" || name == "Microsoft .Net 2.0.50727.42 Redist")
      c.profile = "win2000-sp4-x86";
    if (name == "Microsoft .Net 2.0.50727.42 Redist" || name == "Windows Installer 3.1" ||
        name == "Adobe Acrobat Reader")
      c.ending = Ending::Fixed;
    if (name == "Imaging Source Camera Driver" ||
        name == "Corvanta Prismal SDK Version XI 11.0.0.614 Installer")
      c.ending = Ending::NoRow;
    cases.push_back(c);
  }
  return cases;
}

std::string testName(const ::testing::TestParamInfo<Case>& info) {
  std::string out;
  for (char c : info.param.name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return out;
}

class DemoComponent : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    machine_ = std::make_unique<TempMachine>(GetParam().profile);
    putToolsOnPath();
    demo_ = std::make_unique<DemoFixture>(DemoFixture::Source::Repository);
    wizard_ = std::make_unique<DemoWizardScope>(kAppFolder);
  }
  void TearDown() override {
    wizard_.reset();
    demo_.reset();
    machine_.reset();
  }

  struct Run {
    int result;
    std::string state, progress;
  };
  Run install(const std::string& name) {
    const PageEntry* p = findPageEntry(name);
    if (!p) return {0, "no page entry", ""};
    EntryStrings s;
    ComponentEntry e = makeEntry(*p, kAppFolder, s);
    ComponentEntry* list[] = {&e};
    mxInstallManagerBase manager;
    manager.setComponents(1, list);
    int r = manager.installComponents(0, 0, false);
    std::string progress = s.progress;
    manager.updateComponentStates(0, 0);
    return {r, s.state, progress};
  }
  Run uninstall(const std::string& name) {
    EntryStrings s;
    ComponentEntry e = makeEntry(*findPageEntry(name), kAppFolder, s);
    ComponentEntry* list[] = {&e};
    mxInstallManagerBase manager;
    manager.setComponents(1, list);
    int r = manager.uninstallComponents(0, 0);
    std::string progress = s.progress;
    manager.updateComponentStates(0, 0);
    return {r, s.state, progress};
  }
  // Error and warning boxes shown so far.
  std::vector<std::string> complaints() const {
    std::vector<std::string> out;
    for (const std::string& t : wizard_->ui().messageTexts())
      if (t.rfind("Error", 0) == 0 || t.rfind("Warning", 0) == 0) out.push_back(t);
    return out;
  }

  std::unique_ptr<TempMachine> machine_;
  std::unique_ptr<DemoFixture> demo_;
  std::unique_ptr<DemoWizardScope> wizard_;
};

TEST_P(DemoComponent, InstallsAndRemovesThroughTheWizardsOwnPath) {
  const Case& c = GetParam();
  for (const std::string& need : c.needs) {
    Run r = install(need);
    ASSERT_EQ(r.state, "Installed") << "while installing " << need << " first";
  }
  const PageEntry& p = *findPageEntry(c.name);
  const std::string download = std::string(kAppFolder) + "\\" + p.dataFolder + "\\" + p.fileName;

  {
    EntryStrings s;
    ASSERT_FALSE(mxCheckInstallations::isComponentInstalled(makeEntry(p, kAppFolder, s)))
        << "present before its install";
  }

  Run in = install(c.name);

  EXPECT_TRUE(fileExists(download)) << download;
  EXPECT_TRUE(complaints().empty()) << complaints().front();
  EXPECT_EQ(wizard_->ui().timedOut(), 0);
  if (c.ending == Ending::NoRow) {
    EXPECT_EQ(in.result, -1);
    EXPECT_EQ(in.progress, "Failed");
    EXPECT_EQ(in.state, "Not Installed");
    return;
  }
  EXPECT_EQ(in.result, 1);
  EXPECT_EQ(in.progress, "Ok");
  ASSERT_EQ(in.state, "Installed");

  if (c.ending == Ending::Fixed) {
    EntryStrings s;
    EXPECT_FALSE(mxCheckInstallations::removeComponent(makeEntry(p, kAppFolder, s)));
    return;
  }
  Run out = uninstall(c.name);
  EXPECT_EQ(out.result, 1);
  EXPECT_EQ(out.progress, "Ok");
  EXPECT_EQ(out.state, "Not Installed");
  EXPECT_TRUE(complaints().empty()) << complaints().front();
  EXPECT_EQ(wizard_->ui().timedOut(), 0);
  // Nothing of the stand-in's uninstaller is left waiting for an answer.
  EXPECT_EQ(wizard_->ui().unanswered(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryPageEntry, DemoComponent, ::testing::ValuesIn(allCases()), testName);

}  // namespace
