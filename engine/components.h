#pragma once
// What the installer knows about each component, one record per component: where its file
// comes from and goes, how it is run, what completes it after the download, and on which
// pages it appears. Pages, the install manager, the catalogue, the install actions, the
// tests and the demo repository all read these records; code names a component by its
// identifier, never by its display name.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ComponentId : std::uint8_t {
  // Prerequisites
  VcRedist2005, VcRedist2008, VcRedist2010, DotNet20, WindowsInstaller31,
  // Core components
  Runtime, VisionSoftware, PrismalSdkInstaller,
  // Python and its extensions
  Python279, PyWin32, PySerial, SciPy, NumPy, MySqlPython, OpenCv249, OpenCv300,
  Matplotlib, PyParsing, ScikitLearn, Six, ScikitImage, DxfGrabber,
  // Runtime modules
  Ipp, VantorApi, SmCamera,
  // Camera drivers
  UbCore64, UbCore32, Firei64, Firei32,
  Zcl2122Win7x64, Zcl2122Win7x86, Zcl2122Win8x64, Zcl2122Win8x86, Zcl212x64, Zcl212x86,
  IcCapture, ImagingSourceDriver,
  PylonSdk2x64, PylonSdk2x86, PylonSdk3x64, PylonSdk3x86, Pylon4Runtimex64, Pylon4Runtimex86,
  Pylon4Suitex64, Pylon4Suitex86, AvtUniversal, AvtFire, Pylon5Suite,
  // IO system
  DaqNaviPci1730, DaqNaviUsb4711A, DaqNaviUsb4750, DaqNaviSdk, AdamApaxUtility,
  // Utilities
  Watchdog, CueKeeper, PerformanceTest, OpcScout, OpcRelay, MatrikonOpc,
  TightVncx64, TightVncx86, TeamViewer, Speccy, AdobeReader,
  Count
};
inline constexpr int kComponentCount = static_cast<int>(ComponentId::Count);

// What completes a component after its file was fetched (and, unless download-only, run).
enum class PostInstall : std::uint8_t {
  None,
  RuntimePackage,       // unpacked into the runtime's folder
  ControllerPackage,    // unpacked into Program Files, version file and shortcuts
  OpcScoutPackage,      // unpacked into a scratch folder and its setup run
  CameraDriverPackage,  // unpacked into a scratch folder and its driver installer run
  OpcRelayModule,       // its Python module copied into the runtime's
};

// The component's own configuration once it is installed.
enum class CustomAction : std::uint8_t {
  None, ConfigurePyWin32, OpenCv249OnPath, OpenCv300OnPath, ActivateAvtUniversal, ActivateAvtFire
};

struct ComponentRecord {
  ComponentId id;
  const char* name;          // display name, also the key of its detection row
  const char* serverFolder;  // after the download server's base URL
  const char* fileName;
  const char* arguments;
  const char* dataFolder;  // below the application folder
  const char* category;
  bool isMsiPackage;
  bool downloadOnly;  // fetched by the dialog, installed by its post-install action
  // false for the few components no rule can find: they always read "Not Installed".
  bool detected;
  PostInstall postInstall;
  CustomAction customAction;
};

const ComponentRecord& componentRecord(ComponentId id);
const std::vector<ComponentRecord>& componentRecords();
// By display name, without regard to case; nullopt for a name no record carries.
std::optional<ComponentId> findComponent(const std::string& name);
// The identifier as text ("Runtime", "PyWin32"): the name scripts use.
const char* componentKey(ComponentId id);
// By identifier text or display name, without regard to case.
std::optional<ComponentId> findComponentByKeyOrName(const std::string& text);
// The download URL and folder as a page forms them.
std::string componentUrl(const ComponentRecord& record);
std::string componentDownloadFolder(const ComponentRecord& record);

// The component pages, and the components of each in the order of its install manager.
enum class ComponentPage : std::uint8_t {
  Prerequisites, CoreInstallation, CoreInstallationStatus, Extensions, Extensions2, Modules,
  CameraDrivers, CameraDrivers2, IOSystem, Utilities, Utilities2
};

// Which builds fit the running Windows: the pages that carry 32- and 64-bit builds show the
// native one and keep the other for downloads.
struct BuildChoice {
  bool native64 = false;
  std::string release;  // short name of the release, e.g. "Windows 7"
};

std::vector<ComponentId> pageComponents(ComponentPage page, const BuildChoice& builds = {});

// The builds the running Windows needs: its release and whether it is 64-bit.
BuildChoice runningWindowsBuilds();
// The builds a page picks on the running Windows.
BuildChoice pageBuilds(ComponentPage page);
// The pages that list components, in wizard order (the status page repeats the core page
// and is left out), with their titles.
const std::vector<ComponentPage>& wizardComponentPages();
const char* componentPageTitle(ComponentPage page);
