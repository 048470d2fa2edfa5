#include "ui/shell/LazyIcon.h"

#include <QIconEngine>
#include <algorithm>
#include <array>
#include <optional>

namespace quillory {

namespace {

class LazyFileIconEngine : public QIconEngine {
public:
    explicit LazyFileIconEngine(QList<std::pair<QIcon::Mode, QString>> files) : files_(std::move(files)) {}

    QIconEngine* clone() const override { return new LazyFileIconEngine(files_); }
    QString key() const override { return QStringLiteral("QuilloryLazyFile"); }
    bool isNull() override { return files_.isEmpty(); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        iconFor(mode).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return iconFor(mode).pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return iconFor(mode).pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return iconFor(mode).actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return iconFor(mode).availableSizes(mode, state);
    }

private:
    // The pictures of mode (of Normal when mode has none), read the first time they are asked for.
    const QIcon& iconFor(QIcon::Mode mode)
    {
        const bool own = std::any_of(files_.begin(), files_.end(),
                                     [mode](const auto& file) { return file.first == mode; });
        const QIcon::Mode shown = own ? mode : QIcon::Normal;
        std::optional<QIcon>& icon = loaded_[static_cast<size_t>(shown)];
        if (!icon) {
            icon.emplace();
            for (const auto& [fileMode, file] : files_)
                if (fileMode == shown)
                    icon->addFile(file, QSize(), shown);
        }
        return *icon;
    }

    QList<std::pair<QIcon::Mode, QString>> files_;
    std::array<std::optional<QIcon>, 4> loaded_; // by QIcon::Mode
};

} // namespace

QIcon lazyFileIcon(QList<std::pair<QIcon::Mode, QString>> files)
{
    return QIcon(new LazyFileIconEngine(std::move(files)));
}

} // namespace quillory
