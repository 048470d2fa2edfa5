// A button's normal picture must not pass for its disabled one: it has colour, and clearly more
// contrast, where the disabled look is grey and faded.
#include <QImage>
#include <QtTest>
#include <cmath>

#include "core/shell/CommandTable.h"

using namespace quillory;

namespace {

struct Look {
    double saturation = 0; // mean HSL saturation, 0..1
    double contrast = 0;   // standard deviation of the lightness, 0..1
};

// Measured on the picture itself, between the button's top margin and its label.
Look lookOf(const QString& file)
{
    const QImage image(file);
    Look look;
    if (image.isNull())
        return look;
    double sum = 0, sumSquares = 0, saturation = 0;
    int n = 0;
    for (int y = 15; y <= 47 && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double lightness = c.lightnessF();
            sum += lightness;
            sumSquares += lightness * lightness;
            saturation += c.hslSaturationF();
            ++n;
        }
    }
    look.saturation = saturation / n;
    const double mean = sum / n;
    look.contrast = std::sqrt(std::max(0.0, sumSquares / n - mean * mean));
    return look;
}

} // namespace

class ToolbarImagesTest : public QObject {
    Q_OBJECT

private slots:
    void everyNormalPicture_isClearlyNotItsDisabledOne()
    {
        const QString folder = QStringLiteral(QUILLORY_RESOURCE_DIR "/images/");
        int checked = 0;
        for (const CommandRow& row : commandTable()) {
            if (!row.hasDisabledImage)
                continue;
            const QString base = folder + QString::fromUtf8(row.image.data(), static_cast<qsizetype>(row.image.size()));
            const Look normal = lookOf(base + QStringLiteral("-N.gif"));
            const Look disabled = lookOf(base + QStringLiteral("-D.gif"));
            const QByteArray what = base.toUtf8() + " saturation " + QByteArray::number(normal.saturation) + "/"
                                    + QByteArray::number(disabled.saturation) + ", contrast "
                                    + QByteArray::number(normal.contrast) + "/" + QByteArray::number(disabled.contrast);
            QVERIFY2(normal.saturation - disabled.saturation >= 0.02, what.constData());
            QVERIFY2(normal.contrast >= 1.8 * disabled.contrast, what.constData());
            ++checked;
        }
        QCOMPARE(checked, 12);
    }
};

QTEST_GUILESS_MAIN(ToolbarImagesTest)
#include "ToolbarImagesTest.moc"
