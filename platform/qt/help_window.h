#pragma once
// The help pages' view: a text browser over the unpacked help folder. The pages come from
// the server, so they are not trusted: pictures, style sheets and links load or open only
// when they lead to a file inside the help folder. Web addresses go to the shell like any
// link of the wizard; every other target (other schemes, scripts, files elsewhere) is
// refused and written to the debug output.
#include <QStringList>
#include <QTextBrowser>
#include <functional>

namespace qtui {

class HelpBrowser : public QTextBrowser {
 public:
  // folder: the help folder (host path); nothing outside it is read.
  explicit HelpBrowser(const QString& folder, QWidget* parent = nullptr);

  // Shows the page (host path below the folder) at the anchor (may be empty).
  bool openPage(const QString& path, const QString& anchor);

  // Where a web address goes; by default the shell opens it.
  void setExternalOpener(std::function<void(const QUrl&)> open) { openExternal_ = std::move(open); }
  // The page's "ButtonOK" and "ButtonCancel" links.
  void setCloseRequest(std::function<void()> close) { closeRequest_ = std::move(close); }

  // The targets refused so far, as the page named them once resolved.
  const QStringList& refused() const { return refused_; }
  // The local file url leads to (resolved against the page shown), or an empty string
  // when it leads anywhere else.
  QString fileInside(const QUrl& url) const;

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

 private:
  void follow(const QUrl& link);
  void refuse(const char* method, const QUrl& url);

  QString root_;  // canonical
  QStringList refused_;
  std::function<void(const QUrl&)> openExternal_;
  std::function<void()> closeRequest_;
};

}  // namespace qtui
