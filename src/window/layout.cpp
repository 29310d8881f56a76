// Places the browser between the button row, the search panel on the left
// and the worksheet at the bottom. Nothing else in the window moves.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "browser/status_strip.h"
#include "search/search_panel.h"
#include "shell/twips.h"

#include <QLabel>
#include <QListWidget>
#include <QResizeEvent>
#include <QTextEdit>
#include <QToolButton>

namespace ruzez {

namespace {

// Positions and sizes are computed in single precision, as the layout was
// designed. A size below zero is refused: the control keeps its value and
// the layout goes on with its next step.
void setTop(QWidget *control, float top)
{
    control->move(control->x(), qRound(top));
}

void setLeft(QWidget *control, float left)
{
    control->move(qRound(left), control->y());
}

bool setWidth(QWidget *control, float width)
{
    if (width < 0)
        return false;
    control->resize(qRound(width), control->height());
    return true;
}

bool setHeight(QWidget *control, float height)
{
    if (height < 0)
        return false;
    control->resize(control->width(), qRound(height));
    return true;
}

// The worksheet wraps its lines at a fixed width, its right margin.
bool setWrapWidth(QTextEdit *box, float width)
{
    if (width < 0)
        return false;
    box->setLineWrapMode(QTextEdit::FixedPixelWidth);
    box->setLineWrapColumnOrWidth(qRound(width));
    return true;
}

} // namespace

void frmBrowser::positionne()
{
    const float scaleWidth = float(width());
    const float scaleHeight = float(height());
    QWidget *browser = brwWebBrowser;

    etat->setVisible(false);
    Image2->setVisible(Text1->isVisibleTo(this));
    setTop(browser, float(avant->y() + avant->height()) - 2);
    QPalette worksheetPalette = Text1->palette();
    worksheetPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    Text1->setPalette(worksheetPalette);
    setTop(Text1, scaleHeight - float(Text1->height()) - 4);
    setWidth(Text1, scaleWidth - float(Text1->x()) - 8);
    setWrapWidth(Text1, float(Text1->width()) - 12);
    if (Text1->isVisibleTo(this))
        setHeight(browser, float(Text1->y() - browser->y()) - 8);
    else
        setHeight(browser, scaleHeight - float(browser->y()));
    setHeight(Frame1, float(browser->y() + browser->height() - Frame1->y()));
    setLeft(browser, Frame1->isVisibleTo(this) ? float(Frame1->width()) : 0.0f);
    setWidth(browser, scaleWidth - float(browser->x()));
    // The result list is measured in twips inside the panel: it ends 120
    // twips above the panel's bottom edge, the margin of its left edge.
    const float listHeightTwips = float(pixelsToTwips(Frame1->height())) - 120
                                  - float(pixelsToTwips(Frame1->List1->y()));
    setHeight(Frame1->List1, listHeightTwips / kTwipsPerPixel);
    setTop(Image2, float(Text1->height() - Image2->height()) / 2 + float(Text1->y()));
}

void frmBrowser::Form_Resize()
{
    positionne();
}

void frmBrowser::etat_Resize()
{
    positionne();
}

// The window draws nothing of its own.
void frmBrowser::Form_Paint() {}

void frmBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The status strip stays along the bottom edge, across the whole width.
    const int stripHeight = twipsToPixels(375);
    etat->setGeometry(0, height() - stripHeight, width(), stripHeight);
    Form_Resize();
}

void frmBrowser::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    Form_Paint();
}

} // namespace ruzez
