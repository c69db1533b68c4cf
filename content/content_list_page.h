#pragma once
// What the content pages (templates, demo profiles, tutorials, resources) share as pages: a
// tab control over a list from the server and a refresh button that fetches it anew.
#include <string>

#include "app/page_base.h"
#include "content/content_tabs.h"

class qnDContentListPage : public qnDPropertyPageBase {
 public:
  qnDContentListPage(int templateId, const std::string& title, const std::string& headerTitle,
                     int refreshId)
      : qnDPropertyPageBase(templateId, title, headerTitle), refreshId_(refreshId) {}

  // Fetches the list (or keeps the local copy) and builds the tabs: 1 when a list is shown.
  virtual int refreshContentList(bool replaceExisting, bool showErrors) = 0;
  virtual DContentTabCtrl& tabs() = 0;

  // The refresh button; tab changes and row messages go to the tabs first.
  void onCommand(int id) override;
  void onNotify(int id, ui::Event event) override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  int refreshId_;
};
