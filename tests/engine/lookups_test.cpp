// The engine's look-ups: counted, and asked of the machine once per evaluation of an entry.
#include <gtest/gtest.h>

#include "engine/install_manager.h"
#include "engine/lookups.h"
#include "tests/engine/engine_machine.h"

using namespace engine_test;
namespace reg = platform::registry;

namespace {

TEST(Lookups, RepeatedOnlyOutsideAnEvaluation) {
  TempMachine machine;
  lookups::resetCounts();
  lookups::keyExists(reg::Hive::LocalMachine, "SOFTWARE\\X");
  lookups::keyExists(reg::Hive::LocalMachine, "SOFTWARE\\X");
  EXPECT_EQ(lookups::counts().registry, 2u);
  {
    lookups::EvaluationScope scope;
    lookups::EvaluationScope nested;
    lookups::keyExists(reg::Hive::LocalMachine, "SOFTWARE\\X");
    lookups::keyExists(reg::Hive::LocalMachine, "software\\x");  // names ignore case
    lookups::find("C:\\windows");
    lookups::find("C:\\windows");
  }
  EXPECT_EQ(lookups::counts().registry, 3u);
  EXPECT_EQ(lookups::counts().files, 1u);
  // A change made after the evaluation is seen by the next one.
  reg::createKey(reg::Hive::LocalMachine, "SOFTWARE\\X");
  lookups::EvaluationScope scope;
  EXPECT_TRUE(lookups::keyExists(reg::Hive::LocalMachine, "SOFTWARE\\X"));
}

TEST(Lookups, PythonEntryWalksTheProductsOnce) {
  TempMachine machine;
  product(kPython, "Python 2.7.9");
  product("{11111111-1111-1111-1111-111111111111}", "Python 2.7.8");
  product("{22222222-2222-2222-2222-222222222222}", "Other");
  std::string strings[3];
  ComponentEntry e("Python 2.7.9", "", "", "", "", false, false, &strings[0], &strings[1],
                   &strings[2], "");
  ComponentEntry* raw[] = {&e};
  mxInstallManagerBase manager;
  manager.setComponents(1, raw);
  lookups::resetCounts();
  EXPECT_EQ(manager.updateComponentStates(0, 0), -1);
  EXPECT_EQ(strings[1], "Multiple Versions");
  // Three products and the end of the list, though the presence and the state test both
  // count them.
  EXPECT_EQ(lookups::counts().enumerations, 4u);
  EXPECT_EQ(lookups::counts().installer, 3u);
}

}  // namespace
