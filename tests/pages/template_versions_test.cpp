// Template versions: labels, the installed version found by folder names, and the state
// against the server's label.
#include <gtest/gtest.h>

#include "content/template_versions.h"
#include "platform/files.h"
#include "tests/support/temp_machine.h"

namespace {

TEST(TemplateVersions, LabelsParseAsFourNumbers) {
  struct Case {
    const char* text;
    const char* parsed;  // null: no version
    bool plain;
  } cases[] = {{"1.0.0.10", "1.0.0.10", true}, {"01.0.0.1", "1.0.0.1", true},
               {"1.2.3.4.5", "1.2.3.4", false}, {"1.2.3", nullptr, false},
               {"1..2.3", nullptr, false},      {"", nullptr, false},
               {"a.b.c.d", "0.0.0.0", false},   {"\\..\\..", nullptr, false},
               {"1.0.0.1 ", "1.0.0.1", false}};
  for (const Case& c : cases) {
    auto v = parseVersion(c.text);
    EXPECT_EQ(v ? versionText(*v) : std::string("none"), c.parsed ? c.parsed : "none") << c.text;
    EXPECT_EQ(isPlainVersionLabel(c.text), c.plain) << c.text;
  }
}

TEST(TemplateVersions, TheGreatestFolderOfTheExactClassIsInstalled) {
  TempMachine machine;
  const std::string folder = "C:\\Templates\\";
  platform::files::createDirectory("C:\\Templates");
  for (const char* name : {"Grid_1.0.0.9", "Grid_1.0.0.10", "Grid_old", "Grid_Extra_2.0.0.0",
                           "GridX_3.0.0.0"})
    platform::files::createDirectory(folder + name);
  platform::files::writeFile(folder + "Grid_9.0.0.0", "a file, not a template");
  EXPECT_EQ(findInstalledTemplateVersion(folder, "Grid").value_or("none"), "1.0.0.10");
  EXPECT_EQ(findInstalledTemplateVersion(folder, "grid_extra").value_or("none"), "2.0.0.0");
  EXPECT_FALSE(findInstalledTemplateVersion(folder, "Blob"));

  using S = TemplateState;
  EXPECT_EQ(evaluateTemplate(std::nullopt, "1.0.0.0"), S::Outdated);
  EXPECT_EQ(evaluateTemplate("1.0.0.10", "1.0.0.9"), S::Newer);
  EXPECT_EQ(evaluateTemplate("1.0.0.9", "1.0.0.10"), S::Outdated);
  EXPECT_EQ(evaluateTemplate("1.0.0.1", "1.0.0.1"), S::Current);
  EXPECT_EQ(evaluateTemplate("1.0.0.1", "1.0"), S::Current);  // unparsable label: left alone
}

}  // namespace
