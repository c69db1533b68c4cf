#include "content/content_list_page.h"

void qnDContentListPage::onCommand(int id) {
  if (id == refreshId_) {
    refreshContentList(true, true);
    return;
  }
  qnDPropertyPageBase::onCommand(id);
}

void qnDContentListPage::onNotify(int id, ui::Event event) {
  if (!tabs().onNotify(id, event)) qnDPropertyPageBase::onNotify(id, event);
}

long qnDContentListPage::onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  long result = 0;
  if (tabs().onMessage(msg, wParam, lParam, result)) return result;
  return qnDPropertyPageBase::onMessage(msg, wParam, lParam);
}
