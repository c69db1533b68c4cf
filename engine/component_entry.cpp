#include "engine/component_entry.h"

ComponentEntry::ComponentEntry(const char* name_, const char* url_, const char* fileName_,
                               const char* arguments_, const char* downloadFolder_,
                               bool isMsiPackage_, bool alwaysRefresh_, std::string* nameText_,
                               std::string* stateText_, std::string* progressText_,
                               const char* category_)
    : name(name_ ? name_ : ""),
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

void ComponentEntry::setState(const std::string& text) const {
  if (stateText) *stateText = text;
}

void ComponentEntry::setProgress(const std::string& text) const {
  if (progressText) *progressText = text;
}
