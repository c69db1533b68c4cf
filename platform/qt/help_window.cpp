#include "platform/qt/help_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/debug.h"
#include "platform/shell.h"

namespace qtui {

HelpBrowser::HelpBrowser(const QString& folder, QWidget* parent)
    : QTextBrowser(parent), root_(QDir(folder).canonicalPath()) {
  // Links are followed here, by the rules below, never by the browser's defaults.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  openExternal_ = [](const QUrl& url) {
    platform::shell::shellExecute("open", url.toString().toStdString(), "", "");
  };
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { follow(url); });
}

QString HelpBrowser::fileInside(const QUrl& url) const {
  if (root_.isEmpty()) return {};
  const QUrl resolved = url.isRelative() ? source().resolved(url) : url;
  if (resolved.scheme() != QLatin1String("file") || !resolved.host().isEmpty()) return {};
  // The canonical path follows "..", symbolic links and doubled separators; a file that
  // does not exist has none and is refused with the rest.
  const QString path = QFileInfo(resolved.toLocalFile()).canonicalFilePath();
  if (path.isEmpty() || !path.startsWith(root_ + QLatin1Char('/'))) return {};
  return path;
}

void HelpBrowser::refuse(const char* method, const QUrl& url) {
  refused_.append(url.toString());
  platform::debugOutput(std::string("HelpBrowser::") + method + " - Refused " +
                        url.toString().toStdString() + "\n");
}

bool HelpBrowser::openPage(const QString& path, const QString& anchor) {
  QUrl url = QUrl::fromLocalFile(path);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  if (fileInside(url).isEmpty()) {
    refuse("openPage", url);
    return false;
  }
  // The pages may have been fetched anew since the window last showed them; the same page
  // at another anchor would only scroll.
  if (source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment)) reload();
  setSource(url);
  return true;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  const QString path = fileInside(name);
  if (path.isEmpty()) {
    refuse("loadResource", name.isRelative() ? source().resolved(name) : name);
    // Empty but not null: on a null answer the document reads files (and data: addresses)
    // itself.
    return QByteArray();
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  (void)type;  // pages, style sheets and pictures are all handed over as their bytes
  return file.readAll();
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
  if (fileInside(name).isEmpty()) {
    refuse("doSetSource", name);
    return;
  }
  QTextBrowser::doSetSource(name, type);
}

void HelpBrowser::follow(const QUrl& link) {
  const QString fragment = link.fragment();
  if (fragment == QLatin1String("ButtonOK") || fragment == QLatin1String("ButtonCancel")) {
    if (closeRequest_) closeRequest_();
    return;
  }
  const QString scheme = link.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
    if (openExternal_) openExternal_(link);
    return;
  }
  const QUrl resolved = link.isRelative() ? source().resolved(link) : link;
  if (fileInside(resolved).isEmpty()) {
    refuse("follow", resolved);
    return;
  }
  setSource(resolved);
}

}  // namespace qtui
