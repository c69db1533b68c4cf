// The demo server's content: the four lists name their packages by the server's own
// address, and every package a list names is there.
#include <gtest/gtest.h>

#include "content/content_list.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "runners/tasks.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

const char* const kFolder = "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";

TEST(ContentRepository, EveryPackageAListNamesIsServed) {
  TempMachine machine;
  DemoFixture demo(DemoFixture::Source::Repository);
  platform::files::createDirectory("C:\\Lists");
  auto fetch = [&](const std::string& url, const std::string& target) {
    tasks::TransferRequest r;
    r.url = url;
    r.targetPath = target;
    r.temporaryPath = target + ".part";
    r.backupPath = target + ".old";
    return tasks::transfer(r, platform::CancelToken::never());
  };
  std::vector<std::string> urls;
  for (const char* list : {"614CTC.txt", "614demo.txt"}) {
    const std::string local = std::string("C:\\Lists\\") + list;
    ASSERT_TRUE(fetch(demo.url(std::string(kFolder) + list), local).ok()) << list;
    mxContentList content;
    ASSERT_EQ(content.load(local), mxContentList::kRead);
    EXPECT_GE(content.count(), 3) << list;
    for (const auto& e : content.entries()) urls.push_back(e.url);
  }
  const std::string tutorials = "C:\\Lists\\614tutorials.ini.txt";
  ASSERT_TRUE(fetch(demo.url(std::string(kFolder) + "614tutorials.ini.txt"), tutorials).ok());
  std::vector<std::string> sections;
  platform::profile::getSectionNames(sections, 8192, tutorials);
  for (const std::string& s : sections) {
    std::string url;
    platform::profile::getString(s, "URL", "", url, 1024, tutorials);
    urls.push_back(url);
  }
  ASSERT_GE(urls.size(), 10u);
  int n = 0;
  for (const std::string& url : urls) {
    EXPECT_EQ(url.rfind(demo.url(), 0), 0u) << url;  // the server's own address
    EXPECT_TRUE(fetch(url, "C:\\Lists\\package" + std::to_string(n++) + ".zip").ok()) << url;
  }
}

}  // namespace
