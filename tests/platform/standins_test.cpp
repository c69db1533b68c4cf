// The stand-in system programs of the machine, started as the wizard starts them.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;
using registry::Hive;

namespace {

class StandInTest : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ASSERT_TRUE(files::createDirectory("C:\\Downloads"));
  }
  // Runs a system program by its Windows command line; its exit code.
  unsigned long run(const std::string& program, const std::string& arguments) {
    std::string path = shell::systemDirectory() + "\\" + program;
    unsigned long exitCode = 999;
    EXPECT_TRUE(process::startAndWait(path, "\"" + path + "\" " + arguments, &exitCode))
        << arguments;
    return exitCode;
  }
  std::string productName(const std::string& product) {
    std::string name;
    return msi::getProductInfo(product, "InstalledProductName", name, 1024) == win::ERROR_SUCCESS
               ? name
               : "<none>";
  }
  TempMachine machine;
  const std::string code = "{2A0E5E8F-74D2-4C5B-9C1B-8B1F5E1C0D01}";
};

TEST_F(StandInTest, MsiexecInstallsAndRemovesAStandInPackage) {
  ASSERT_TRUE(files::writeFile("C:\\Downloads\\values.reg",
                               "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Stand In]\r\n\"Installed\"=dword:00000001\r\n"));
  ASSERT_TRUE(files::writeFile("C:\\Downloads\\clean.exe",
                               "#!/bin/sh\ncorvanta-machine reg delete-key 'HKLM\\SOFTWARE\\Stand In'\n"));
  ASSERT_TRUE(files::writeFile("C:\\Downloads\\python 2.7.msi",
                               "[Product]\r\nCode=" + code +
                                   "\r\nName=Python 2.7.9\r\nVersion=2.7.9150\r\nRegFile=values.reg\r\n"
                                   "RemoveCommand=\"C:\\Downloads\\clean.exe\" /s\r\n"
                                   "[Properties]\r\nPublisher=Python Software Foundation\r\n"));
  EXPECT_EQ(run("msiexec.exe", "/i \"C:\\Downloads\\python 2.7.msi\" /passive"), 0u);
  EXPECT_EQ(productName(code), "Python 2.7.9");
  std::string value;
  EXPECT_EQ(msi::getProductInfoEx(code, msi::MSIINSTALLCONTEXT_MACHINE, "Publisher", value, 1024),
            win::ERROR_SUCCESS);
  EXPECT_EQ(value, "Python Software Foundation");
  EXPECT_TRUE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\Stand In"));

  EXPECT_EQ(run("msiexec.exe", "/x " + code + " /passive"), 0u);
  EXPECT_EQ(productName(code), "<none>");
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\Stand In"));
  EXPECT_EQ(run("msiexec.exe", "/x " + code + " /passive"), 3u);  // not installed
}

TEST_F(StandInTest, PackageValuesAndFilesGoWithTheProduct) {
  const std::string package = "C:\\Downloads\\vnc.msi";
  const std::string head = "[Product]\r\nCode=" + code + "\r\nName=VNC\r\nVersion=2.6.4.0\r\n";
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VNC";
  // "#!/bin/sh\nexit 0\n" in base64; the value keeps its quotes.
  ASSERT_TRUE(files::writeFile(package, head +
                                            "[Registry]\r\n"
                                            "1=HKLM\\" + key + "|DisplayName|VNC\r\n"
                                            "2=HKLM\\" + key + "|UninstallString|\"C:\\Program Files\\VNC\\un.exe\"\r\n"
                                            "[Files]\r\n"
                                            "C:\\Program Files\\VNC\\un.exe=IyEvYmluL3NoCmV4aXQgMAo=\r\n"));
  EXPECT_EQ(run("msiexec.exe", "/i " + package + " /quiet"), 0u);
  EXPECT_EQ(registry::readString(Hive::LocalMachine, key, "UninstallString", 1024).value_or(""),
            "\"C:\\Program Files\\VNC\\un.exe\"");
  std::string program;
  ASSERT_TRUE(files::readFile("C:\\Program Files\\VNC\\un.exe", program));
  EXPECT_EQ(program, "#!/bin/sh\nexit 0\n");

  // Removed the way the wizard removes products: through the installer database.
  EXPECT_EQ(msi::configureProduct(code, 0, msi::INSTALLSTATE_ABSENT), win::ERROR_SUCCESS);
  EXPECT_EQ(productName(code), "<none>");
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, key));
  EXPECT_EQ(files::getAttributes("C:\\Program Files\\VNC\\un.exe"), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(files::isDirectory("C:\\Program Files\\VNC"));  // made by the package
  EXPECT_TRUE(files::isDirectory("C:\\Program Files"));        // was there before

  // A damaged item refuses the package before anything is registered.
  ASSERT_TRUE(files::writeFile(package, head + "[Files]\r\nC:\\x.exe=not*base64\r\n"));
  EXPECT_EQ(run("msiexec.exe", "/i " + package), 1u);
  ASSERT_TRUE(files::writeFile(package, head + "[Registry]\r\n1=HKXX\\A|B|C\r\n"));
  EXPECT_EQ(run("msiexec.exe", "/i " + package), 1u);
  EXPECT_EQ(productName(code), "<none>");
}

TEST_F(StandInTest, MsiexecRefusesBadPackagesAndCommandLines) {
  ASSERT_TRUE(files::writeFile("C:\\Downloads\\bad.msi", "[Product]\r\nCode=not-a-guid\r\n"));
  EXPECT_EQ(run("msiexec.exe", "/i C:\\Downloads\\bad.msi /quiet"), 1u);
  EXPECT_EQ(run("msiexec.exe", "/i C:\\Downloads\\missing.msi"), 1u);
  EXPECT_EQ(run("msiexec.exe", "/passive"), 2u);
  EXPECT_EQ(run("msiexec.exe", "/i"), 2u);
  EXPECT_EQ(run("msiexec.exe", "/frobnicate /i C:\\Downloads\\bad.msi"), 2u);
  std::string none;
  EXPECT_EQ(msi::enumProducts(0, none), win::ERROR_NO_MORE_ITEMS);
}

TEST_F(StandInTest, MsiexecRemoveCommandCallingMsiexecDoesNotLoop) {
  machine::Product p;
  p.code = code;
  p.properties["InstalledProductName"] = "Loop";
  p.removeCommand = "msiexec.exe /x " + code + " /quiet";
  machine::registerProduct(p);
  EXPECT_EQ(run("msiexec.exe", "/x " + code), 0u);
  EXPECT_EQ(productName(code), "<none>");
}

TEST_F(StandInTest, Regsvr32RegistersAndUnregistersAControl) {
  const std::string clsid = "{449DEAAF-F2A8-440A-8E74-A2ECD57C5151}";
  ASSERT_TRUE(files::createDirectory("C:\\OpcRelay"));
  ASSERT_TRUE(files::writeFile("C:\\OpcRelay\\OpcRelayX.ocx",
                               "[Control]\r\nCLSID=" + clsid + "\r\nProgID=OpcRelay.X.1\r\n"));
  ASSERT_TRUE(files::writeFile("C:\\OpcRelay\\plain.ocx", "MZ"));
  EXPECT_EQ(run("regsvr32.exe", "\"C:\\OpcRelay\\OpcRelayX.ocx\""), 0u);
  const std::string server = "CLSID\\" + clsid + "\\InprocServer32";
  EXPECT_EQ(registry::readString(Hive::ClassesRoot, server, "", 4096).value_or(""),
            "C:\\OpcRelay\\OpcRelayX.ocx");
  EXPECT_EQ(registry::readString(Hive::ClassesRoot, "OpcRelay.X.1\\CLSID", "", 4096).value_or(""),
            clsid);
  EXPECT_EQ(run("regsvr32.exe", "/u /s \"C:\\OpcRelay\\OpcRelayX.ocx\""), 0u);
  EXPECT_FALSE(registry::keyExists(Hive::ClassesRoot, "CLSID\\" + clsid));
  EXPECT_FALSE(registry::keyExists(Hive::ClassesRoot, "OpcRelay.X.1"));
  EXPECT_EQ(run("regsvr32.exe", "/s C:\\OpcRelay\\missing.ocx"), 3u);
  EXPECT_EQ(run("regsvr32.exe", "/s C:\\OpcRelay\\plain.ocx"), 4u);
  EXPECT_EQ(run("regsvr32.exe", "/z C:\\OpcRelay\\plain.ocx"), 1u);
}

TEST_F(StandInTest, Rundll32RunsAScriptDllWithItsEntryAndArguments) {
  ASSERT_TRUE(files::createDirectory("C:\\Program Files\\Util"));
  ASSERT_TRUE(files::writeFile("C:\\Program Files\\Util\\setup.dll",
                               "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/got.txt\"\nexit 3\n"));
  // The utility's uninstall string, started the way the shell starts it.
  long result = 0;
  auto p = shell::shellExecuteEx("open", "RunDll32",
                                 "C:\\Program Files\\Util\\setup.dll,Uninstall /q", "", result);
  ASSERT_GT(result, 32);
  ASSERT_NE(p, nullptr);
  ASSERT_TRUE(p->wait(10000));
  EXPECT_EQ(p->exitCode(), 3u);
  std::string got;
  ASSERT_TRUE(files::readFile("C:\\Program Files\\Util\\got.txt", got));
  EXPECT_EQ(got, "Uninstall|/q|");
  EXPECT_EQ(run("rundll32.exe", "C:\\nowhere.dll,Entry"), 1u);
}

}  // namespace
