#pragma once

#include <QByteArray>
#include <QPoint>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace quillory {

// What the program remembers of how the user left it, between runs: the frame's place and
// size, the launcher's place, the splitter, the catalog opened last (the next start opens it
// again) and its folder. It lives in the user's configuration folder; SysConf.properties holds
// only the program's own settings.
class Preferences {
public:
    // file: where to keep them; empty for the user's configuration folder.
    explicit Preferences(const QString& file = QString());

    QByteArray frameGeometry() const;
    bool frameMaximized() const;
    void setFrame(const QByteArray& geometry, bool maximized);

    // The launcher's top-left corner, at the top of the screen it was on; none when it was never
    // shown.
    std::optional<QPoint> launcherPlace() const;
    void setLauncherPlace(const QPoint& place);

    // The tree's share of the catalog window's width; 0 when the user never moved it.
    double treeShare() const;
    void setTreeShare(double share);

    QString lastCatalogFolder() const;
    void setLastCatalogFolder(const QString& folder);
    // The folder file of the catalog opened last; "" when none was.
    QString lastCatalogFile() const;
    void setLastCatalogFile(const QString& file);

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace quillory
