// The installer's unattended mode, as a script drives it: the built executable run as a
// process on a demo machine against the demo server, judged by its exit codes and output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "app/json.h"
#include "platform/files.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr const char* kExe = "CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe";

struct Outcome {
  int code;
  std::string out, err;
};

class Unattended : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    platform::files::createDirectory("C:\\CorvantaInstaller");
    exe_ = machine_.host(std::string("C:\\CorvantaInstaller\\") + kExe);
    std::filesystem::copy_file(std::string(CORVANTA_BUILD_DIR) + "/" + kExe, exe_);
  }

  Outcome run(const std::string& arguments) {
    const std::string out = machine_.root() + "/out.txt", err = machine_.root() + "/err.txt";
    std::string command = "CORVANTA_MACHINE='" + machine_.root() + "' '" + exe_ + "' " +
                          arguments + " >'" + out + "' 2>'" + err + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, hostText(out), hostText(err)};
  }
  static std::string hostText(const std::string& path) {
    std::string text;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
    return text;
  }
  std::string stateOf(const std::string& id) {
    Outcome list = run("--json");
    auto parsed = json::parse(list.out);
    if (!parsed) return "<no list>";
    for (const json::Value& c : parsed->array)
      if (c.text("id") == id) return c.text("state");
    return "<missing>";
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  std::string exe_;
};

TEST_F(Unattended, InstallsReportsRemovesAndComparesStations) {
  Outcome install = run("--install runtime 'python 2.7.9'");
  EXPECT_EQ(install.code, 0) << install.err;
  EXPECT_EQ(install.out,
            "Corvanta Version XI 11.0.0.614 Runtime: done (Installed)\n"
            "Python 2.7.9: done (Installed)\n");
  EXPECT_NE(install.err.find("[1/2] Installing Corvanta Version XI 11.0.0.614 Runtime"),
            std::string::npos);
  EXPECT_EQ(stateOf("Python279"), "Installed");

  const std::string reference = machine_.root() + "/reference.json";
  EXPECT_EQ(run("--report '" + reference + "'").code, 0);
  auto report = json::parse(hostText(reference));
  ASSERT_TRUE(report);
  EXPECT_NE(report->text("operatingSystem"), "");
  EXPECT_EQ(run("--compare '" + reference + "'").code, 0);

  Outcome removal = run("--uninstall PYTHON279");
  EXPECT_EQ(removal.code, 0) << removal.err;
  Outcome compared = run("--compare '" + reference + "'");
  EXPECT_EQ(compared.code, 3);
  EXPECT_NE(compared.out.find("missing"), std::string::npos);
  EXPECT_NE(compared.out.find("Python 2.7.9"), std::string::npos);
}

TEST_F(Unattended, RepairMendsWhatTheWizardOffersToRepair) {
  ASSERT_TRUE(applyDemoState(machine_, "ipp-incomplete"));
  EXPECT_EQ(stateOf("Ipp"), "Incomplete Module");
  Outcome repair = run("--repair");
  EXPECT_EQ(repair.code, 0) << repair.err;
  EXPECT_EQ(repair.out, "Corvanta 9.3.0.524 IPP: done (Installed)\n");
  EXPECT_EQ(stateOf("Ipp"), "Installed");
  // Nothing left to repair: nothing to do, and that is success.
  EXPECT_EQ(run("--repair").code, 0);
}

TEST_F(Unattended, BadNamesQuestionsAndFailuresHaveTheirExitCodes) {
  Outcome unknown = run("--install pywinn");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.err.find("PyWin32"), std::string::npos) << unknown.err;
  EXPECT_EQ(run("--install").code, 2);
  EXPECT_EQ(run("--frobnicate").code, 2);

  // A broken station asks before it repairs: without --yes that is an error naming --yes.
  ASSERT_TRUE(applyDemoState(machine_, "python-replaced"));
  Outcome asked = run("--install numpy");
  EXPECT_EQ(asked.code, 1);
  EXPECT_NE(asked.err.find("add --yes"), std::string::npos) << asked.err;
  EXPECT_EQ(stateOf("NumPy"), "Not Installed");

  // A file the server does not have fails the download, and the exit code says so.
  demo_.server().failWith("/corvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/spsetup125.exe", 404);
  Outcome failed = run("--download-only speccy watchdog --keep-going");
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.out.find("Speccy v1.25: failed"), std::string::npos) << failed.out;
  EXPECT_NE(failed.out.find("Corvanta Watchdog - Restarter 2.0.0.6: done"), std::string::npos);
}

}  // namespace
