#include "tests/e2e/page_entries.h"

#include <deque>

#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/portable.h"

namespace {

constexpr const char* kPre = "_CorvantaInstallData\\Prerequisites";
constexpr const char* kPy2D = "_CorvantaInstallData\\ExtensionsPY27\\Python2D";
constexpr const char* kPy3D = "_CorvantaInstallData\\ExtensionsPY27\\Python3D";
constexpr const char* kPyOther = "_CorvantaInstallData\\ExtensionsPY27\\PythonOtherExt";
constexpr const char* k3rd = "_CorvantaInstallData\\Installations3rdParty";
constexpr const char* kIo = "_CorvantaInstallData\\IOSystem";
constexpr const char* kUtil = "_CorvantaInstallData\\Utilities";
constexpr const char* kCore = "corvanta/files/InstallerDownloads/Corvanta11.0/614/";
constexpr const char* kPy = "corvanta/files/InstallerDownloads/_Modules/Py27/";
constexpr const char* kThird = "corvanta/files/InstallerDownloads/_Installers3rdParty/";

std::vector<PageEntry> makeTable() {
  const std::string py = kPy, third = kThird;
  // The joined folders live as long as the table (a deque keeps them in place).
  static std::deque<std::string> folders;
  auto at = [](std::string s) {
    folders.push_back(std::move(s));
    return folders.back().c_str();
  };
  const char* ext = "Recommended Corvanta Extensions";
  const char* cams = "3rd Party Softwares";
  const char* utils = "Optional Utility Software";
  return {
      // Prerequisites
      {"MS VC++ 2005 SP1 Redist", "corvanta/files/CorvantaPreRequisites/",
       "vc2005sp1 - redist_x86.exe", " /q:a ", kPre, false, "Prerequisites"},
      {"MS VC++ 2008 SP1 Redist", "corvanta/files/CorvantaPreRequisites/",
       "vc2008sp1 - redist_x86.exe", " /q:a ", kPre, false, "Prerequisites"},
      {"MS VC++ 2010 SP1 Redist", "corvanta/files/InstallerDownloads/_Installers3rdParty/Microsoft/",
       "vc2010sp1 - redist_x86.exe", " /q:a ", kPre, false, "Prerequisites"},
      {"Microsoft .Net 2.0.50727.42 Redist", "corvanta/files/CorvantaPreRequisites/",
       "dotnetfx_2.0.50727.42.exe", " ", kPre, false, "Prerequisites"},
      {"Windows Installer 3.1", "corvanta/files/CorvantaPreRequisites/",
       "WindowsInstaller-KB893803-v2-x86.exe", " ", kPre, false, "Prerequisites"},
      // Core components
      {"Corvanta Version XI 11.0.0.614 Runtime", kCore,
       "CorvantaRuntime_11_0_0_614_ReDist_151223.exe", " ",
       "_CorvantaInstallData\\CorvantaRuntime", false, "Core Components"},
      {"Corvanta Vision Software Version XI 11.0.0.614", kCore,
       "CorvantaVisionSoftware_11_0_0_614_151223.exe", " ",
       "_CorvantaInstallData\\CorvantaVisionSoftware", false, "Core Components"},
      {"Corvanta Prismal SDK Version XI 11.0.0.614 Installer", kCore,
       "CorvantaPrismalSDK_11_0_0_614_Installer_151223.exe", " ",
       "_CorvantaInstallData\\PrismalSDKInstaller", false, "Corvanta Prismal SDK Installer"},
      // Python extensions
      {"Python 2.7.9", at(py + "Python27/"), "python-2.7.9.msi", "/passive ALLUSERS=1", kPy2D,
       true, ext},
      {"pywin32-219.win32-py2.7", at(py + "pywin/"), "pywin32-219.win32-py2.7.exe", " /quiet ",
       kPy2D, false, ext},
      {"pyserial-2.7.win32", at(py + "pyserial/"), "pyserial-2.7.win32.exe", " /quiet ", kPy2D,
       false, ext},
      {"scipy-0.14.0-python2.7", at(py + "scipy/"), "scipy-0.14.0-win32-superpack-python2.7.exe",
       " /quiet ", kPy3D, false, ext},
      {"numpy-1.9.1-python2.7", at(py + "numpy/"), "numpy-1.9.1-win32-superpack-python2.7.exe",
       " /quiet ", kPy3D, false, ext},
      {"MySQL-python-1.2.4b4.win32-py2.7", at(py + "MySQLPython/"),
       "MySQL-python-1.2.4b4.win32-py2.7.exe", " /quiet ",
       "_CorvantaInstallData\\ExtensionsPY27\\PythonMySQL", false, ext},
      {"OpenCV 2.4.9 (Python 27)", at(py + "OpenCV/"), "opencv-249_py27_bin.zip", "",
       "_CorvantaInstallData\\ExtensionsPY27\\OpenCV", false, ext},
      {"OpenCV 3.0.0", at(py + "OpenCV/"), "opencv-300_bin.zip", "",
       "_CorvantaInstallData\\ExtensionsPY27\\OpenCV", false, ext},
      {"matplotlib-1.4.2.win32-py2.7", at(py + "matplotlib/"), "matplotlib-1.4.2.win32-py2.7.exe",
       " /quiet ", kPyOther, false, ext},
      {"pyparsing-2.0.2.win32-py2.7", at(py + "pyparsing/"), "pyparsing-2.0.2.win32-py2.7.exe",
       " /quiet ", kPyOther, false, ext},
      {"scikit-learn-0.15.0b1.win32-py2.7", at(py + "scikit-learn/"),
       "scikit-learn-0.15.0b1.win32-py2.7.exe", " /quiet ", kPyOther, false, ext},
      {"six-1.7.3.win32-py2.7", at(py + "six/"), "six-1.7.3.win32-py2.7.exe", " /quiet ", kPyOther,
       false, ext},
      {"scikit-image-0.10.1.win32-py2.7", at(py + "scikit-image/"),
       "scikit-image-0.10.1.win32-py2.7.exe", " /quiet ", kPyOther, false, ext},
      {"dxfgrabber-0.7.4.win32-py2.7", at(py + "dxfgrabber/"), "dxfgrabber-0.7.4.win32-py2.7.exe",
       " /quiet ", kPyOther, false, ext},
      // Image processing options
      {"Corvanta 9.3.0.524 IPP", "corvanta/files/InstallerDownloads/_Modules/IPP/",
       "Corvanta_9.3.0.524_IPP.zip", "", "_CorvantaInstallData\\Modules", false,
       "Optional Corvanta Modules"},
      // No page offers these two runtime modules; the demo serves them beside IPP.
      {"Vantor API 1.0.0.3 Files", "corvanta/files/InstallerDownloads/_Modules/VantorAPI/",
       "vantorapi-1.0.0.3.zip", "", "_CorvantaInstallData\\Modules", false,
       "Optional Corvanta Modules"},
      {"Shared Memory Camera Driver", "corvanta/files/InstallerDownloads/_Modules/SMCamera/",
       "SMCameraClient-1.0.0.5.zip", "", "_CorvantaInstallData\\Modules", false,
       "Optional Corvanta Modules"},
      // Camera drivers, first page
      {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", at(third + "ubCore/"),
       "ubCorePro64_112912.exe", " /passive", k3rd, false, cams},
      {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", at(third + "ubCore/"),
       "ubCorePro32_112912.exe", " /passive", k3rd, false, cams},
      {"Fire-i Application 4.0 - 64 bit", at(third + "Firei/"), "FireiSetupX64_112912.exe",
       " /passive", k3rd, false, cams},
      {"Fire-i Application 4.0 - 32 bit", at(third + "Firei/"), "FireiSetupX86_112912.exe",
       " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)", at(third + "SonyZCL/2.12.2/"),
       "Sony_ZCL_SDK_v2.12.2_Win7_64bit.exe", " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12.2 - Windows 7 (32 bit)", at(third + "SonyZCL/2.12.2/"),
       "Sony_ZCL_SDK_v2.12.2_Win7_32bit.exe", " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12.2 - Windows 8 (64 bit)", at(third + "SonyZCL/2.12.2/"),
       "Sony_ZCL_SDK_v2.12.2_Win8_64bit.exe", " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12.2 - Windows 8 (32 bit)", at(third + "SonyZCL/2.12.2/"),
       "Sony_ZCL_SDK_v2.12.2_Win8_32bit.exe", " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12 - 64 bit", at(third + "SonyZCL/2.12/"),
       "SonyZCL_2.12_setup_x64_RC1.exe", " /passive", k3rd, false, cams},
      {"ZCL for SONYGigECAM 2.12 - 32 bit", at(third + "SonyZCL/2.12/"),
       "SonyZCL_2.12_setup_x86_RC1.exe", " /passive", k3rd, false, cams},
      {"Imaging Source - IC Capture 2.3", at(third + "ImagingSource/"),
       "setup_iccapture.en_US.exe", " /passive", k3rd, false, cams},
      {"Imaging Source Camera Driver", at(third + "ImagingSource/"), "usbcam_2.6.5_tis_02.zip", "",
       k3rd, false, cams},
      // Camera drivers, second page
      {"Basler pylon SDK 2.3.5.2633 - 64 bit", at(third + "Basler/"),
       "Basler pylon SDK x64 2.3.5.2633.exe", " /passive", k3rd, false, cams},
      {"Basler pylon SDK 2.3.5.2633 - 32 bit", at(third + "Basler/"),
       "Basler pylon SDK x86 2.3.5.2633.exe", " /passive", k3rd, false, cams},
      {"Basler pylon SDK 3.2.3.3215 - 64 bit", at(third + "Basler/"),
       "Basler pylon SDK x64 3.2.3.3215.exe", " /passive", k3rd, false, cams},
      {"Basler pylon SDK 3.2.3.3215 - 32 bit", at(third + "Basler/"),
       "Basler pylon SDK x86 3.2.3.3215_EN_.exe", " /passive", k3rd, false, cams},
      {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", at(third + "Basler/"),
       "pylon 4 Runtime x64 4.0.1.3425.msi", "/passive", k3rd, true, cams},
      {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", at(third + "Basler/"),
       "pylon 4 Runtime x86 4.0.1.3425.msi", "/passive", k3rd, true, cams},
      {"Pylon 4 Camera Software Suite 4.2.2.5468 - 64 bit", at(third + "Basler/"),
       "Basler pylon x64 4.2.2.5468.exe", " ", k3rd, false, cams},
      {"Pylon 4 Camera Software Suite 4.2.2.5468 - 32 bit", at(third + "Basler/"),
       "Basler pylon x86 4.2.2.5468.exe", " ", k3rd, false, cams},
      {"AVT Universal Package 2.2.0", at(third + "AVT/"), "AVTUniversalPackage_2.2.0.exe", " ",
       k3rd, false, cams},
      {"AVT Fire Package 2.11", at(third + "AVT/"), "AVTFirePackage_2_11.exe", " /passive", k3rd,
       false, cams},
      {"Pylon 5 Camera Software Suite 5.0.0.6150", at(third + "Basler/"),
       "Basler pylon 5.0.0.6150.exe", " ", k3rd, false, cams},
      // IO system
      {"DAQNavi PCI-1730 3.1.1.0", at(third + "Advantech/"), "DAQNavi_PCI1730_PCM3730I_3.1.1.0.exe",
       " /passive", kIo, false, "Corvanta IO System"},
      {"DAQNavi USB-4711A 3.1.3.0", at(third + "Advantech/"), "DAQNavi_USB4711A_3.1.3.0.exe",
       " /passive", kIo, false, "Corvanta IO System"},
      {"DAQNavi USB-4750 3.1.1.0", at(third + "Advantech/"), "DAQNavi_USB4750_3.1.1.0.exe",
       " /passive", kIo, false, "Corvanta IO System"},
      {"DAQNavi SDK and Drivers 3.1.4.0", at(third + "Advantech/"), "DAQNavi_SDK&Drivers_3.1.4.0.exe",
       " /passive", kIo, false, "Corvanta IO System"},
      {"Adam/Apax .NET Utility 2.04.04", at(third + "Advantech/"),
       "Advantech AdamApax .NET Utility Ver 2.04.04.exe", " /passive", kIo, false,
       "Corvanta IO System"},
      // Utilities, first page
      {"Corvanta Watchdog - Restarter 2.0.0.6", "corvanta/files/InstallerDownloads/CorvantaWatchdog/",
       "Corvanta_Watchdog_Restarter_2_0_0_6_131205.exe", " /passive ", kUtil, false, utils},
      {"Cue Keeper 1.0.0.1(3587)", "corvanta/CueKeeper/", "CueKeeper_1.0.0.1(3587).zip", "", kUtil,
       false, utils},
      {"PerformanceTest 8.0", at(third + "Passmark/"), "PerformanceTest_8.0_Setup.exe", " /passive",
       kUtil, false, utils},
      {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", at(third + "OPCScout/"),
       "SIMATIC_NET_OPC_Client_V6.2_3133.zip", " \\silent", kUtil, false, utils},
      {"Corvanta OpcRelay 1.9.0.26", "corvanta/files/InstallerDownloads/CorvantaOpcRelay/",
       "Corvanta_OpcRelay_1.9.0.26_150502.exe", " /passive ", kUtil, false, utils},
      {"MatrikonOPC Server for Simulation", at(third + "Matrikon/"),
       "MatrikonOPCSimulation_1.5.0.0.EXE", " /passive ", kUtil, false, utils},
      // Utilities, second page
      {"TightVNC 2.6.4 - 64 bit", at(third + "TightVNC/"), "tightvnc-2.6.4-setup-64bit.msi",
       "/passive", kUtil, true, utils},
      {"TightVNC 2.6.4 - 32 bit", at(third + "TightVNC/"), "tightvnc-2.6.4-setup-32bit.msi",
       "/passive", kUtil, true, utils},
      {"Corvanta TeamViewer 8 Host.exe", at(third + "TeamViewer/"),
       "Corvanta_TeamViewer_8_Host_Setup.exe", " /passive", kUtil, false, utils},
      {"Speccy v1.25", at(third + "Piriform/"), "spsetup125.exe", " /passive", k3rd, false, utils},
      {"Adobe Acrobat Reader", at(third + "AdobeAcrobatReader/"), "AdbeRdr11000_en_US.exe",
       " /passive ", kUtil, false, utils},
  };
}

}  // namespace

const std::vector<PageEntry>& pageEntries() {
  static const std::vector<PageEntry> table = makeTable();
  return table;
}

const PageEntry* findPageEntry(const std::string& name) {
  for (const PageEntry& e : pageEntries())
    if (platform::equalsNoCase(e.name, name)) return &e;
  return nullptr;
}

ComponentEntry makeEntry(const PageEntry& e, const std::string& applicationFolder,
                         EntryStrings& strings) {
  std::string url = downloadServerBaseUrl() + e.serverFolder + e.fileName;
  std::string folder = applicationFolder + "\\" + e.dataFolder;
  return ComponentEntry(e.name, url.c_str(), e.fileName, e.arguments, folder.c_str(),
                        e.isMsiPackage, false, &strings.name, &strings.state, &strings.progress,
                        e.category);
}

DemoWizardScope::DemoWizardScope(const char* applicationFolder) : saved_(watchTimings()) {
  ui::setBackend(&ui_);
  ui_.setModalLimit(60000);
  platform::files::createDirectory(applicationFolder);
  appContext().applicationFolder = applicationFolder;
  appContext().isFolderWritable = true;
  watchTimings().gonePollMs = 50;
  watchTimings().speccyPauseMs = 50;
}

DemoWizardScope::~DemoWizardScope() {
  watchTimings() = saved_;
  ui::setBackend(nullptr);
}
