#include "engine/components.h"

#include <array>

#include "engine/app_context.h"
#include "engine/check_support.h"
#include "platform/os_version.h"

namespace {

using Id = ComponentId;
using P = PostInstall;
using A = CustomAction;

constexpr const char* kPre = "_CorvantaInstallData\\Prerequisites";
constexpr const char* kPy2D = "_CorvantaInstallData\\ExtensionsPY27\\Python2D";
constexpr const char* kPy3D = "_CorvantaInstallData\\ExtensionsPY27\\Python3D";
constexpr const char* kPyMySql = "_CorvantaInstallData\\ExtensionsPY27\\PythonMySQL";
constexpr const char* kPyOpenCv = "_CorvantaInstallData\\ExtensionsPY27\\OpenCV";
constexpr const char* kPyOther = "_CorvantaInstallData\\ExtensionsPY27\\PythonOtherExt";
constexpr const char* kModules = "_CorvantaInstallData\\Modules";
constexpr const char* k3rd = "_CorvantaInstallData\\Installations3rdParty";
constexpr const char* kIo = "_CorvantaInstallData\\IOSystem";
constexpr const char* kUtil = "_CorvantaInstallData\\Utilities";

constexpr const char* kPreServer = "corvanta/files/CorvantaPreRequisites/";
constexpr const char* kCoreServer = "corvanta/files/InstallerDownloads/Corvanta11.0/614/";
#define PY "corvanta/files/InstallerDownloads/_Modules/Py27/"
#define THIRD "corvanta/files/InstallerDownloads/_Installers3rdParty/"

constexpr const char* kPreCat = "Prerequisites";
constexpr const char* kCoreCat = "Core Components";
constexpr const char* kExt = "Recommended Corvanta Extensions";
constexpr const char* kModCat = "Optional Corvanta Modules";
constexpr const char* kCams = "3rd Party Softwares";
constexpr const char* kIoCat = "Corvanta IO System";
constexpr const char* kUtils = "Optional Utility Software";

// An installer that the dialog fetches and runs; found by its detection row.
constexpr ComponentRecord installer(Id id, const char* name, const char* server, const char* file,
                                    const char* args, const char* folder, const char* category,
                                    bool msi = false, A custom = A::None, P post = P::None) {
  return {id, name, server, file, args, folder, category, msi, false, true, post, custom};
}

// A package that the dialog only fetches; its post-install action installs it.
constexpr ComponentRecord package(Id id, const char* name, const char* server, const char* file,
                                  const char* args, const char* folder, const char* category,
                                  P post, A custom = A::None, bool detected = true) {
  return {id, name, server, file, args, folder, category, false, true, detected, post, custom};
}

// In identifier order: the table is indexed by the identifier.
constexpr std::array<ComponentRecord, kComponentCount> kRecords = {{
    installer(Id::VcRedist2005, "MS VC++ 2005 SP1 Redist", kPreServer,
              "vc2005sp1 - redist_x86.exe", " /q:a ", kPre, kPreCat),
    installer(Id::VcRedist2008, "MS VC++ 2008 SP1 Redist", kPreServer,
              "vc2008sp1 - redist_x86.exe", " /q:a ", kPre, kPreCat),
    installer(Id::VcRedist2010, "MS VC++ 2010 SP1 Redist", THIRD "Microsoft/",
              "vc2010sp1 - redist_x86.exe", " /q:a ", kPre, kPreCat),
    installer(Id::DotNet20, "Microsoft .Net 2.0.50727.42 Redist", kPreServer,
              "dotnetfx_2.0.50727.42.exe", " ", kPre, kPreCat),
    installer(Id::WindowsInstaller31, "Windows Installer 3.1", kPreServer,
              "WindowsInstaller-KB893803-v2-x86.exe", " ", kPre, kPreCat),

    installer(Id::Runtime, "Corvanta Version XI 11.0.0.614 Runtime", kCoreServer,
              "CorvantaRuntime_11_0_0_614_ReDist_151223.exe", " ",
              "_CorvantaInstallData\\CorvantaRuntime", kCoreCat),
    installer(Id::VisionSoftware, "Corvanta Vision Software Version XI 11.0.0.614", kCoreServer,
              "CorvantaVisionSoftware_11_0_0_614_151223.exe", " ",
              "_CorvantaInstallData\\CorvantaVisionSoftware", kCoreCat),
    // Only fetched: the user runs the SDK installer when they want the SDK.
    package(Id::PrismalSdkInstaller, "Corvanta Prismal SDK Version XI 11.0.0.614 Installer",
            kCoreServer, "CorvantaPrismalSDK_11_0_0_614_Installer_151223.exe", " ",
            "_CorvantaInstallData\\PrismalSDKInstaller", "Corvanta Prismal SDK Installer", P::None,
            A::None, false),

    installer(Id::Python279, "Python 2.7.9", PY "Python27/", "python-2.7.9.msi",
              "/passive ALLUSERS=1", kPy2D, kExt, true),
    installer(Id::PyWin32, "pywin32-219.win32-py2.7", PY "pywin/", "pywin32-219.win32-py2.7.exe",
              " /quiet ", kPy2D, kExt, false, A::ConfigurePyWin32),
    installer(Id::PySerial, "pyserial-2.7.win32", PY "pyserial/", "pyserial-2.7.win32.exe",
              " /quiet ", kPy2D, kExt),
    installer(Id::SciPy, "scipy-0.14.0-python2.7", PY "scipy/",
              "scipy-0.14.0-win32-superpack-python2.7.exe", " /quiet ", kPy3D, kExt),
    installer(Id::NumPy, "numpy-1.9.1-python2.7", PY "numpy/",
              "numpy-1.9.1-win32-superpack-python2.7.exe", " /quiet ", kPy3D, kExt),
    installer(Id::MySqlPython, "MySQL-python-1.2.4b4.win32-py2.7", PY "MySQLPython/",
              "MySQL-python-1.2.4b4.win32-py2.7.exe", " /quiet ", kPyMySql, kExt),
    package(Id::OpenCv249, "OpenCV 2.4.9 (Python 27)", PY "OpenCV/", "opencv-249_py27_bin.zip",
            "", kPyOpenCv, kExt, P::RuntimePackage, A::OpenCv249OnPath),
    package(Id::OpenCv300, "OpenCV 3.0.0", PY "OpenCV/", "opencv-300_bin.zip", "", kPyOpenCv,
            kExt, P::RuntimePackage, A::OpenCv300OnPath),
    installer(Id::Matplotlib, "matplotlib-1.4.2.win32-py2.7", PY "matplotlib/",
              "matplotlib-1.4.2.win32-py2.7.exe", " /quiet ", kPyOther, kExt),
    installer(Id::PyParsing, "pyparsing-2.0.2.win32-py2.7", PY "pyparsing/",
              "pyparsing-2.0.2.win32-py2.7.exe", " /quiet ", kPyOther, kExt),
    installer(Id::ScikitLearn, "scikit-learn-0.15.0b1.win32-py2.7", PY "scikit-learn/",
              "scikit-learn-0.15.0b1.win32-py2.7.exe", " /quiet ", kPyOther, kExt),
    installer(Id::Six, "six-1.7.3.win32-py2.7", PY "six/", "six-1.7.3.win32-py2.7.exe", " /quiet ",
              kPyOther, kExt),
    installer(Id::ScikitImage, "scikit-image-0.10.1.win32-py2.7", PY "scikit-image/",
              "scikit-image-0.10.1.win32-py2.7.exe", " /quiet ", kPyOther, kExt),
    installer(Id::DxfGrabber, "dxfgrabber-0.7.4.win32-py2.7", PY "dxfgrabber/",
              "dxfgrabber-0.7.4.win32-py2.7.exe", " /quiet ", kPyOther, kExt),

    package(Id::Ipp, "Corvanta 9.3.0.524 IPP", "corvanta/files/InstallerDownloads/_Modules/IPP/",
            "Corvanta_9.3.0.524_IPP.zip", "", kModules, kModCat, P::RuntimePackage),
    // No page offers these two runtime modules; the demo serves them beside IPP.
    package(Id::VantorApi, "Vantor API 1.0.0.3 Files",
            "corvanta/files/InstallerDownloads/_Modules/VantorAPI/", "vantorapi-1.0.0.3.zip", "",
            kModules, kModCat, P::RuntimePackage),
    package(Id::SmCamera, "Shared Memory Camera Driver",
            "corvanta/files/InstallerDownloads/_Modules/SMCamera/", "SMCameraClient-1.0.0.5.zip",
            "", kModules, kModCat, P::RuntimePackage),

    installer(Id::UbCore64, "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", THIRD "ubCore/",
              "ubCorePro64_112912.exe", " /passive", k3rd, kCams),
    installer(Id::UbCore32, "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", THIRD "ubCore/",
              "ubCorePro32_112912.exe", " /passive", k3rd, kCams),
    installer(Id::Firei64, "Fire-i Application 4.0 - 64 bit", THIRD "Firei/",
              "FireiSetupX64_112912.exe", " /passive", k3rd, kCams),
    installer(Id::Firei32, "Fire-i Application 4.0 - 32 bit", THIRD "Firei/",
              "FireiSetupX86_112912.exe", " /passive", k3rd, kCams),
    installer(Id::Zcl2122Win7x64, "ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)",
              THIRD "SonyZCL/2.12.2/", "Sony_ZCL_SDK_v2.12.2_Win7_64bit.exe", " /passive", k3rd,
              kCams),
    installer(Id::Zcl2122Win7x86, "ZCL for SONYGigECAM 2.12.2 - Windows 7 (32 bit)",
              THIRD "SonyZCL/2.12.2/", "Sony_ZCL_SDK_v2.12.2_Win7_32bit.exe", " /passive", k3rd,
              kCams),
    installer(Id::Zcl2122Win8x64, "ZCL for SONYGigECAM 2.12.2 - Windows 8 (64 bit)",
              THIRD "SonyZCL/2.12.2/", "Sony_ZCL_SDK_v2.12.2_Win8_64bit.exe", " /passive", k3rd,
              kCams),
    installer(Id::Zcl2122Win8x86, "ZCL for SONYGigECAM 2.12.2 - Windows 8 (32 bit)",
              THIRD "SonyZCL/2.12.2/", "Sony_ZCL_SDK_v2.12.2_Win8_32bit.exe", " /passive", k3rd,
              kCams),
    installer(Id::Zcl212x64, "ZCL for SONYGigECAM 2.12 - 64 bit", THIRD "SonyZCL/2.12/",
              "SonyZCL_2.12_setup_x64_RC1.exe", " /passive", k3rd, kCams),
    installer(Id::Zcl212x86, "ZCL for SONYGigECAM 2.12 - 32 bit", THIRD "SonyZCL/2.12/",
              "SonyZCL_2.12_setup_x86_RC1.exe", " /passive", k3rd, kCams),
    installer(Id::IcCapture, "Imaging Source - IC Capture 2.3", THIRD "ImagingSource/",
              "setup_iccapture.en_US.exe", " /passive", k3rd, kCams),
    package(Id::ImagingSourceDriver, "Imaging Source Camera Driver", THIRD "ImagingSource/",
            "usbcam_2.6.5_tis_02.zip", "", k3rd, kCams, P::CameraDriverPackage, A::None, false),
    installer(Id::PylonSdk2x64, "Basler pylon SDK 2.3.5.2633 - 64 bit", THIRD "Basler/",
              "Basler pylon SDK x64 2.3.5.2633.exe", " /passive", k3rd, kCams),
    installer(Id::PylonSdk2x86, "Basler pylon SDK 2.3.5.2633 - 32 bit", THIRD "Basler/",
              "Basler pylon SDK x86 2.3.5.2633.exe", " /passive", k3rd, kCams),
    installer(Id::PylonSdk3x64, "Basler pylon SDK 3.2.3.3215 - 64 bit", THIRD "Basler/",
              "Basler pylon SDK x64 3.2.3.3215.exe", " /passive", k3rd, kCams),
    installer(Id::PylonSdk3x86, "Basler pylon SDK 3.2.3.3215 - 32 bit", THIRD "Basler/",
              "Basler pylon SDK x86 3.2.3.3215_EN_.exe", " /passive", k3rd, kCams),
    installer(Id::Pylon4Runtimex64, "Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", THIRD "Basler/",
              "pylon 4 Runtime x64 4.0.1.3425.msi", "/passive", k3rd, kCams, true),
    installer(Id::Pylon4Runtimex86, "Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", THIRD "Basler/",
              "pylon 4 Runtime x86 4.0.1.3425.msi", "/passive", k3rd, kCams, true),
    installer(Id::Pylon4Suitex64, "Pylon 4 Camera Software Suite 4.2.2.5468 - 64 bit",
              THIRD "Basler/", "Basler pylon x64 4.2.2.5468.exe", " ", k3rd, kCams),
    installer(Id::Pylon4Suitex86, "Pylon 4 Camera Software Suite 4.2.2.5468 - 32 bit",
              THIRD "Basler/", "Basler pylon x86 4.2.2.5468.exe", " ", k3rd, kCams),
    installer(Id::AvtUniversal, "AVT Universal Package 2.2.0", THIRD "AVT/",
              "AVTUniversalPackage_2.2.0.exe", " ", k3rd, kCams, false, A::ActivateAvtUniversal),
    installer(Id::AvtFire, "AVT Fire Package 2.11", THIRD "AVT/", "AVTFirePackage_2_11.exe",
              " /passive", k3rd, kCams, false, A::ActivateAvtFire),
    installer(Id::Pylon5Suite, "Pylon 5 Camera Software Suite 5.0.0.6150", THIRD "Basler/",
              "Basler pylon 5.0.0.6150.exe", " ", k3rd, kCams),

    installer(Id::DaqNaviPci1730, "DAQNavi PCI-1730 3.1.1.0", THIRD "Advantech/",
              "DAQNavi_PCI1730_PCM3730I_3.1.1.0.exe", " /passive", kIo, kIoCat),
    installer(Id::DaqNaviUsb4711A, "DAQNavi USB-4711A 3.1.3.0", THIRD "Advantech/",
              "DAQNavi_USB4711A_3.1.3.0.exe", " /passive", kIo, kIoCat),
    installer(Id::DaqNaviUsb4750, "DAQNavi USB-4750 3.1.1.0", THIRD "Advantech/",
              "DAQNavi_USB4750_3.1.1.0.exe", " /passive", kIo, kIoCat),
    installer(Id::DaqNaviSdk, "DAQNavi SDK and Drivers 3.1.4.0", THIRD "Advantech/",
              "DAQNavi_SDK&Drivers_3.1.4.0.exe", " /passive", kIo, kIoCat),
    installer(Id::AdamApaxUtility, "Adam/Apax .NET Utility 2.04.04", THIRD "Advantech/",
              "Advantech AdamApax .NET Utility Ver 2.04.04.exe", " /passive", kIo, kIoCat),

    installer(Id::Watchdog, "Corvanta Watchdog - Restarter 2.0.0.6",
              "corvanta/files/InstallerDownloads/CorvantaWatchdog/",
              "Corvanta_Watchdog_Restarter_2_0_0_6_131205.exe", " /passive ", kUtil, kUtils),
    package(Id::CueKeeper, "Cue Keeper 1.0.0.1(3587)", "corvanta/CueKeeper/",
            "CueKeeper_1.0.0.1(3587).zip", "", kUtil, kUtils, P::ControllerPackage),
    installer(Id::PerformanceTest, "PerformanceTest 8.0", THIRD "Passmark/",
              "PerformanceTest_8.0_Setup.exe", " /passive", kUtil, kUtils),
    package(Id::OpcScout, "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", THIRD "OPCScout/",
            "SIMATIC_NET_OPC_Client_V6.2_3133.zip", " \\silent", kUtil, kUtils, P::OpcScoutPackage),
    installer(Id::OpcRelay, "Corvanta OpcRelay 1.9.0.26",
              "corvanta/files/InstallerDownloads/CorvantaOpcRelay/",
              "Corvanta_OpcRelay_1.9.0.26_150502.exe", " /passive ", kUtil, kUtils, false, A::None,
              P::OpcRelayModule),
    installer(Id::MatrikonOpc, "MatrikonOPC Server for Simulation", THIRD "Matrikon/",
              "MatrikonOPCSimulation_1.5.0.0.EXE", " /passive ", kUtil, kUtils),
    installer(Id::TightVncx64, "TightVNC 2.6.4 - 64 bit", THIRD "TightVNC/",
              "tightvnc-2.6.4-setup-64bit.msi", "/passive", kUtil, kUtils, true),
    installer(Id::TightVncx86, "TightVNC 2.6.4 - 32 bit", THIRD "TightVNC/",
              "tightvnc-2.6.4-setup-32bit.msi", "/passive", kUtil, kUtils, true),
    installer(Id::TeamViewer, "Corvanta TeamViewer 8 Host.exe", THIRD "TeamViewer/",
              "Corvanta_TeamViewer_8_Host_Setup.exe", " /passive", kUtil, kUtils),
    installer(Id::Speccy, "Speccy v1.25", THIRD "Piriform/", "spsetup125.exe", " /passive", k3rd,
              kUtils),
    installer(Id::AdobeReader, "Adobe Acrobat Reader", THIRD "AdobeAcrobatReader/",
              "AdbeRdr11000_en_US.exe", " /passive ", kUtil, kUtils),
}};

#undef PY
#undef THIRD

// The table is indexed by identifier; a record out of place would answer for another.
constexpr bool recordsInOrder() {
  for (int i = 0; i < kComponentCount; ++i)
    if (static_cast<int>(kRecords[i].id) != i) return false;
  return true;
}
static_assert(recordsInOrder(), "component records must follow the identifier order");

// A page slot that holds one of two builds.
Id pick(bool native64, Id build64, Id build32) { return native64 ? build64 : build32; }

Id sonyZcl(const BuildChoice& b) {
  // The release comparison is exact: only these two releases get the 2.12.2 builds.
  if (b.release == "Windows 7") return pick(b.native64, Id::Zcl2122Win7x64, Id::Zcl2122Win7x86);
  if (b.release == "Windows 8") return pick(b.native64, Id::Zcl2122Win8x64, Id::Zcl2122Win8x86);
  return pick(b.native64, Id::Zcl212x64, Id::Zcl212x86);
}

}  // namespace

const ComponentRecord& componentRecord(ComponentId id) {
  return kRecords[static_cast<std::size_t>(id)];
}

const std::vector<ComponentRecord>& componentRecords() {
  static const std::vector<ComponentRecord> all(kRecords.begin(), kRecords.end());
  return all;
}

std::optional<ComponentId> findComponent(const std::string& name) {
  for (const ComponentRecord& r : kRecords)
    if (check_support::equalsNoCase(name, r.name)) return r.id;
  return std::nullopt;
}

namespace {

// In identifier order, as the enumeration declares them.
constexpr const char* kKeys[] = {
    "VcRedist2005", "VcRedist2008", "VcRedist2010", "DotNet20", "WindowsInstaller31",
    "Runtime", "VisionSoftware", "PrismalSdkInstaller",
    "Python279", "PyWin32", "PySerial", "SciPy", "NumPy", "MySqlPython", "OpenCv249", "OpenCv300",
    "Matplotlib", "PyParsing", "ScikitLearn", "Six", "ScikitImage", "DxfGrabber",
    "Ipp", "VantorApi", "SmCamera",
    "UbCore64", "UbCore32", "Firei64", "Firei32",
    "Zcl2122Win7x64", "Zcl2122Win7x86", "Zcl2122Win8x64", "Zcl2122Win8x86", "Zcl212x64",
    "Zcl212x86", "IcCapture", "ImagingSourceDriver",
    "PylonSdk2x64", "PylonSdk2x86", "PylonSdk3x64", "PylonSdk3x86", "Pylon4Runtimex64",
    "Pylon4Runtimex86", "Pylon4Suitex64", "Pylon4Suitex86", "AvtUniversal", "AvtFire",
    "Pylon5Suite",
    "DaqNaviPci1730", "DaqNaviUsb4711A", "DaqNaviUsb4750", "DaqNaviSdk", "AdamApaxUtility",
    "Watchdog", "CueKeeper", "PerformanceTest", "OpcScout", "OpcRelay", "MatrikonOpc",
    "TightVncx64", "TightVncx86", "TeamViewer", "Speccy", "AdobeReader"};
static_assert(std::size(kKeys) == kComponentCount, "one key per component");

}  // namespace

const char* componentKey(ComponentId id) { return kKeys[static_cast<std::size_t>(id)]; }

std::optional<ComponentId> findComponentByKeyOrName(const std::string& text) {
  for (int i = 0; i < kComponentCount; ++i)
    if (check_support::equalsNoCase(text, kKeys[i])) return static_cast<ComponentId>(i);
  return findComponent(text);
}

std::string componentUrl(const ComponentRecord& record) {
  return downloadServerBaseUrl() + record.serverFolder + record.fileName;
}

std::string componentDownloadFolder(const ComponentRecord& record) {
  return appContext().applicationFolder + "\\" + record.dataFolder;
}

std::vector<ComponentId> pageComponents(ComponentPage page, const BuildChoice& b) {
  const bool n = b.native64;
  switch (page) {
    case ComponentPage::Prerequisites:
      return {Id::VcRedist2005, Id::VcRedist2008, Id::VcRedist2010, Id::DotNet20,
              Id::WindowsInstaller31};
    case ComponentPage::CoreInstallation:
      return {Id::Runtime, Id::VisionSoftware, Id::PrismalSdkInstaller};
    case ComponentPage::CoreInstallationStatus:
      return {Id::Runtime, Id::VisionSoftware};
    case ComponentPage::Extensions:
      return {Id::Python279, Id::PyWin32, Id::PySerial,    Id::SciPy,
              Id::NumPy,     Id::MySqlPython, Id::OpenCv249, Id::OpenCv300};
    case ComponentPage::Extensions2:
      return {Id::Matplotlib, Id::PyParsing, Id::ScikitLearn, Id::Six, Id::ScikitImage,
              Id::DxfGrabber};
    case ComponentPage::Modules:
      return {Id::Ipp};
    case ComponentPage::CameraDrivers: {
      // Entries 7 to 9 are the other builds of every ZCL release, for downloads.
      auto zclOther = [n](const char* release) { return sonyZcl({!n, release}); };
      return {pick(n, Id::UbCore64, Id::UbCore32), pick(n, Id::Firei64, Id::Firei32), sonyZcl(b),
              Id::IcCapture, Id::ImagingSourceDriver, pick(!n, Id::UbCore64, Id::UbCore32),
              pick(!n, Id::Firei64, Id::Firei32), zclOther(""), zclOther("Windows 7"),
              zclOther("Windows 8")};
    }
    case ComponentPage::CameraDrivers2:
      return {pick(n, Id::PylonSdk2x64, Id::PylonSdk2x86),
              pick(n, Id::PylonSdk3x64, Id::PylonSdk3x86),
              pick(n, Id::Pylon4Runtimex64, Id::Pylon4Runtimex86),
              pick(!n, Id::PylonSdk2x64, Id::PylonSdk2x86),
              pick(!n, Id::PylonSdk3x64, Id::PylonSdk3x86),
              pick(!n, Id::Pylon4Runtimex64, Id::Pylon4Runtimex86),
              pick(n, Id::Pylon4Suitex64, Id::Pylon4Suitex86),
              pick(!n, Id::Pylon4Suitex64, Id::Pylon4Suitex86),
              Id::AvtUniversal,
              Id::AvtFire,
              Id::Pylon5Suite};
    case ComponentPage::IOSystem:
      return {Id::DaqNaviPci1730, Id::DaqNaviUsb4711A, Id::DaqNaviUsb4750, Id::DaqNaviSdk,
              Id::AdamApaxUtility};
    case ComponentPage::Utilities:
      return {Id::Watchdog, Id::CueKeeper, Id::PerformanceTest, Id::OpcScout, Id::OpcRelay,
              Id::MatrikonOpc};
    case ComponentPage::Utilities2:
      return {pick(n, Id::TightVncx64, Id::TightVncx86), Id::TeamViewer, Id::Speccy,
              pick(!n, Id::TightVncx64, Id::TightVncx86), Id::AdobeReader};
  }
  return {};
}

BuildChoice runningWindowsBuilds() {
  char shortName[kOsNameBufferSize] = "Unknown Operating System";
  char fullName[kOsNameBufferSize] = "Unknown Operating System";
  bool is64 = false;
  if (!queryOSVersion(shortName, fullName, &is64)) is64 = isNative64BitWindows();
  return {is64, shortName};
}

BuildChoice pageBuilds(ComponentPage page) {
  switch (page) {
    case ComponentPage::CameraDrivers:
    case ComponentPage::CameraDrivers2: return runningWindowsBuilds();
    // The utilities' only choice is the machine's width.
    case ComponentPage::Utilities2: return {isNative64BitWindows(), ""};
    default: return {};
  }
}

const std::vector<ComponentPage>& wizardComponentPages() {
  using P = ComponentPage;
  static const std::vector<ComponentPage> pages = {
      P::Prerequisites, P::CoreInstallation, P::Extensions,     P::Extensions2, P::Modules,
      P::CameraDrivers, P::CameraDrivers2,   P::IOSystem,       P::Utilities,   P::Utilities2};
  return pages;
}

const char* componentPageTitle(ComponentPage page) {
  switch (page) {
    case ComponentPage::Prerequisites: return "Prerequisite Installation";
    case ComponentPage::CoreInstallation: return "Core Installation";
    case ComponentPage::CoreInstallationStatus: return "Core Installation Status";
    case ComponentPage::Extensions: return "Recommended Corvanta Extensions I";
    case ComponentPage::Extensions2: return "Recommended Corvanta Extensions II";
    case ComponentPage::Modules: return "Corvanta Image Processing Options";
    case ComponentPage::CameraDrivers: return "3rd Party Camera Drivers - 1";
    case ComponentPage::CameraDrivers2: return "3rd Party Camera Drivers - 2";
    case ComponentPage::IOSystem: return "3rd Party IO Drivers";
    case ComponentPage::Utilities: return "Optional Utility Software I";
    case ComponentPage::Utilities2: return "Optional Utility Software II";
  }
  return "";
}
