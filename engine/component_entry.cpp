#include "engine/component_entry.h"

ComponentEntry::ComponentEntry(const char* name_, const char* url_, const char* fileName_,
                               const char* arguments_, const char* downloadFolder_,
                               bool isMsiPackage_, bool alwaysRefresh_, std::string* nameText_,
                               std::string* stateText_, std::string* progressText_,
                               const char* category_)
    : id(findComponent(name_ ? name_ : "")),
      name(name_ ? name_ : ""),
      url(url_ ? url_ : ""),
      fileName(fileName_ ? fileName_ : ""),
      arguments(arguments_ ? arguments_ : ""),
      downloadFolder(downloadFolder_ ? downloadFolder_ : ""),
      isMsiPackage(isMsiPackage_),
      alwaysRefresh(alwaysRefresh_),
      nameText(nameText_),
      stateText(stateText_),
      progressText(progressText_),
      category(category_ ? category_ : "") {
  if (nameText) *nameText = name;
  if (progressText) progressText->clear();
}

ComponentEntry::ComponentEntry(ComponentId id_, std::string* nameText_, std::string* stateText_,
                               std::string* progressText_)
    : ComponentEntry(componentRecord(id_).name, componentUrl(componentRecord(id_)).c_str(),
                     componentRecord(id_).fileName, componentRecord(id_).arguments,
                     componentDownloadFolder(componentRecord(id_)).c_str(),
                     componentRecord(id_).isMsiPackage, false, nameText_, stateText_,
                     progressText_, componentRecord(id_).category) {}

void ComponentEntry::setState(ComponentState state) const {
  *stateValue_ = state;
  if (stateText) *stateText = ::stateText(state);
}

void ComponentEntry::setProgress(ComponentProgress progress) const {
  if (progressText) *progressText = ::progressText(progress);
}
