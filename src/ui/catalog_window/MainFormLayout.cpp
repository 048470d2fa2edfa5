// The catalog window's geometry: tree, splitter and list, and the four floating panels.
#include "ui/catalog_window/MainForm.h"

#include "ui/catalog_window/ContentListView.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/panels/PanelFrame.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/platform/Preferences.h"
#include "ui/catalog_window/SplitterBar.h"

namespace quillory {

namespace {
QRect toPixels(const TwipRect& r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height));
}
} // namespace

TwipRect MainForm::splitterRect() const
{
    const QRect g = picSplit->geometry();
    return {pixelsToTwips(g.x()), pixelsToTwips(g.y()), pixelsToTwips(g.width()), pixelsToTwips(g.height())};
}

void MainForm::applyLayout(const WindowLayout& layout)
{
    // A size that does not fit (a window smaller than the margins) is left as it was.
    auto place = [](QWidget* widget, const TwipRect& r) {
        if (r.width >= 0 && r.height >= 0)
            widget->setGeometry(toPixels(r));
    };
    place(dirTreeView, layout.tree);
    place(picSplit, layout.splitter);
    place(ListView, layout.list);
}

void MainForm::placePanel(PanelFrame* frame, const TwipRect& wanted)
{
    // A window too small for the panel where it is wanted gets it moved, or smaller, so that
    // none of its buttons is out of reach.
    const QSize minimum = frame->minimumSizeHint();
    frame->setGeometry(toPixels(fitPanel(wanted, pixelsToTwips(width()), pixelsToTwips(height()),
                                         pixelsToTwips(minimum.width()), pixelsToTwips(minimum.height()))));
}

void MainForm::Form_Resize()
{
    if (isMinimized())
        return;
    applyLayout(fullLayout(pixelsToTwips(width()), pixelsToTwips(height()), treeShare_));
    for (int number = 1; number <= 4; ++number) {
        PanelFrame* frame = panel(number);
        if (frame->isVisible()) {
            const QPoint corner = frame->clamp(frame->pos());
            const TwipRect size = panelPlacement(number, splitterRect());
            placePanel(frame, {pixelsToTwips(corner.x()), pixelsToTwips(corner.y()), size.width, size.height});
            break;
        }
    }
}

void MainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void MainForm::frameSize_init(int16_t panelNumber)
{
    // Another panel, or none: a search still reading documents ends with what it found, so that
    // its results do not close the panel the user turned to when they come.
    if (panelNumber != static_cast<int16_t>(Panel::Search) && Frame3->searching())
        Frame3->stopSearch();
    if (panelNumber >= 1 && panelNumber <= 4) {
        for (int i = 1; i <= 4; ++i) {
            if (i != panelNumber)
                panel(i)->hide();
        }
        PanelFrame* shown = panel(panelNumber);
        placePanel(shown, panelPlacement(panelNumber, splitterRect()));
        shown->show();
        shown->raise();
    } else if (panelNumber == 99 || panelNumber == 199) {
        for (PanelFrame* frame : frames_)
            frame->hide();
    }
}

void MainForm::picSplit_MouseDown(double x)
{
    splitGrabX = pixelsToTwips(x);
}

void MainForm::picSplit_MouseMove(double x)
{
    const TwipRect splitter = splitterRect();
    const double left = clampSplitterLeft(splitter.left + pixelsToTwips(x) - splitGrabX, pixelsToTwips(width()));
    picSplit->move(twipsToPixels(left), picSplit->y());
}

void MainForm::picSplit_MouseUp()
{
    splitGrabX = 0;
    applyLayout(layoutAroundSplitter(splitterRect(), pixelsToTwips(width()), pixelsToTwips(height())));
    // A resize keeps the tree's share the user gave it, in this run and the next.
    treeShare_ = treeShareOf(splitterRect(), pixelsToTwips(width()));
    preferences_.setTreeShare(treeShare_);
}

} // namespace quillory
