#include "ui/platform/Preferences.h"

namespace quillory {

namespace {
const QString kGeometry = QStringLiteral("frame/geometry");
const QString kMaximized = QStringLiteral("frame/maximized");
const QString kLauncherPlace = QStringLiteral("launcher/place");
const QString kTreeShare = QStringLiteral("catalogWindow/treeShare");
const QString kLastFolder = QStringLiteral("open/lastCatalogFolder");
const QString kLastFile = QStringLiteral("open/lastCatalogFile");
} // namespace

Preferences::Preferences(const QString& file)
    : settings_(file.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Quillory"), QStringLiteral("Quillory"))
                               : std::make_unique<QSettings>(file, QSettings::IniFormat))
{}

QByteArray Preferences::frameGeometry() const
{
    return settings_->value(kGeometry).toByteArray();
}

bool Preferences::frameMaximized() const
{
    return settings_->value(kMaximized, false).toBool();
}

void Preferences::setFrame(const QByteArray& geometry, bool maximized)
{
    settings_->setValue(kGeometry, geometry);
    settings_->setValue(kMaximized, maximized);
}

std::optional<QPoint> Preferences::launcherPlace() const
{
    const QVariant place = settings_->value(kLauncherPlace);
    if (place.typeId() != QMetaType::QPoint)
        return std::nullopt;
    return place.toPoint();
}

void Preferences::setLauncherPlace(const QPoint& place)
{
    settings_->setValue(kLauncherPlace, place);
}

double Preferences::treeShare() const
{
    bool ok = false;
    const double share = settings_->value(kTreeShare).toDouble(&ok);
    return ok && share > 0 && share < 1 ? share : 0;
}

void Preferences::setTreeShare(double share)
{
    settings_->setValue(kTreeShare, share);
}

QString Preferences::lastCatalogFolder() const
{
    return settings_->value(kLastFolder).toString();
}

void Preferences::setLastCatalogFolder(const QString& folder)
{
    settings_->setValue(kLastFolder, folder);
}

QString Preferences::lastCatalogFile() const
{
    return settings_->value(kLastFile).toString();
}

void Preferences::setLastCatalogFile(const QString& file)
{
    settings_->setValue(kLastFile, file);
}

} // namespace quillory
