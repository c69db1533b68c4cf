// The demo machine states: tools/demo-state.sh puts a fresh machine into each repair
// state, the install manager shows it, and an install with the repair accepted ends with
// the component installed again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/install_manager.h"
#include "platform/files.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr const char* kAppFolder = "C:\\CorvantaInstaller";

struct StateCase {
  const char* state;
  const char* component;
  const char* shown;  // the state the page shows
  // Installed before it in the same batch, as the page's buttons group them.
  std::vector<const char*> before = {};
};

bool isComplaint(const std::string& t) {
  for (const char* start : {"Error:", "Error -", "Error.", "Warning:"})
    if (t.rfind(start, 0) == 0) return true;
  return false;
}

const StateCase kCases[] = {
    {"two-pythons", "Python 2.7.9", "Multiple Versions"},
    {"python-replaced", "pywin32-219.win32-py2.7", "Reinstall Needed", {"Python 2.7.9"}},
    {"module-version", "pyserial-2.7.win32", "Version Mismatch"},
    {"opencv-incomplete", "OpenCV 3.0.0", "Incomplete Module"},
    {"opencv249-pyserial", "OpenCV 2.4.9 (Python 27)", "Incomplete Module",
     {"pyserial-2.7.win32"}},
    {"wrong-product-name", "Corvanta Vision Software Version XI 11.0.0.614", "Version Mismatch"},
    {"avt-inactive", "AVT Universal Package 2.2.0", "Incomplete Module"},
    {"ipp-incomplete", "Corvanta 9.3.0.524 IPP", "Incomplete Module"},
    {"controller-incomplete", "Cue Keeper 1.0.0.1(3587)", "Not Installed"},
    {"controller-version", "Cue Keeper 1.0.0.1(3587)", "Version Mismatch"},
    {"speccy-version", "Speccy v1.25", "Version Mismatch"},
};

std::string sourceRoot() {
  std::string file = __FILE__;  // <root>/tests/e2e/demo_state_test.cpp
  for (int i = 0; i < 3; ++i) file = file.substr(0, file.find_last_of('/'));
  return file;
}

class DemoState : public ::testing::TestWithParam<StateCase> {
 protected:
  void SetUp() override { putToolsOnPath(); }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope wizard_{kAppFolder};
};

TEST_P(DemoState, TheWizardShowsItAndRepairsIt) {
  const StateCase& c = GetParam();
  ASSERT_TRUE(applyDemoState(machine_, c.state));

  std::vector<const char*> names = c.before;
  names.push_back(c.component);
  std::vector<EntryStrings> strings(names.size());
  std::vector<ComponentEntry> entries;
  for (size_t i = 0; i < names.size(); ++i)
    entries.push_back(makeEntry(*findPageEntry(names[i]), kAppFolder, strings[i]));
  std::vector<ComponentEntry*> list;
  for (ComponentEntry& e : entries) list.push_back(&e);
  mxInstallManagerBase manager;
  manager.setComponents(static_cast<unsigned>(list.size()), list.data());
  const int last = static_cast<int>(list.size()) - 1;
  manager.updateComponentStates(0, last);
  ASSERT_EQ(strings.back().state, c.shown);

  // Yes to the repair question (as often as it comes); the install that follows puts the
  // components back.
  for (int i = 0; i < 3; ++i) wizard_.ui().answer(win::IDYES);
  manager.installComponents(0, last, true);
  manager.updateComponentStates(0, last);
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(strings[i].state, "Installed") << names[i];
  EXPECT_EQ(wizard_.ui().timedOut(), 0);
  for (const std::string& t : wizard_.ui().messageTexts()) EXPECT_FALSE(isComplaint(t)) << t;
}

INSTANTIATE_TEST_SUITE_P(EveryState, DemoState, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StateCase>& row) {
                           std::string out;
                           for (const char* p = row.param.state; *p; ++p)
                             out += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return out;
                         });

TEST(DemoStateScript, ListsEveryStateAndRefusesAnUnknownOne) {
  TempMachine machine;
  std::string script = "bash '" + sourceRoot() + "/tools/demo-state.sh' ";
  std::string listed = machine.root() + "/states.txt";
  ASSERT_EQ(std::system((script + "--list > '" + listed + "'").c_str()), 0);
  std::string text;
  ASSERT_TRUE(platform::files::readFile(listed, text));
  for (const StateCase& c : kCases) EXPECT_NE(text.find(c.state), std::string::npos) << c.state;
  EXPECT_NE(std::system((script + "--machine '" + machine.root() + "' --repository '" +
                         CORVANTA_DEMO_REPO + "' no-such-state 2>/dev/null")
                            .c_str()),
            0);
}

}  // namespace
