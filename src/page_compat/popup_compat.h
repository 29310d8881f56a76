#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

class QPrinter;
class QWebEngineView;

namespace ruzez {

// A window a course page opened (window.open) behaves as the page expects:
// the size and place it asks for, kept on the screen: window.open's
// "width=300,height=200,left=10,top=10" for its page area, resizeTo, moveBy
// and the like for the whole window, as the old engine had them; and
// window.print() through the print dialog. Only such windows get this: the
// main window never moves or changes size for a page.
class PopupCompat : public QObject
{
    Q_OBJECT

public:
    // Prepares the printer and says whether to print; by default the
    // platform's print dialog, as the main window's "Imprimer" shows it.
    using PrintSetup = std::function<bool(QPrinter &printer)>;

    // The window is the view of the page; it owns this object.
    explicit PopupCompat(QWebEngineView *window, PrintSetup printSetup = {});
    ~PopupCompat() override;

private:
    void onGeometryChangeRequested(const QRect &requested);
    void onPrintRequested();
    void onPrintDone();

    QWebEngineView *m_window;
    PrintSetup m_printSetup;
    std::unique_ptr<QPrinter> m_printer;
    bool m_featuresApplied = false;
};

// Where a window whose page area asks for `pageArea` goes on a screen whose
// free area is `available`, its frame taking `frame` around the page: as
// asked, made smaller and moved as little as needed to stay whole on the
// screen, and never smaller than the old engine allowed (100 × 100).
QRect popupPageArea(const QRect &pageArea, const QRect &available, const QMargins &frame);

} // namespace ruzez
