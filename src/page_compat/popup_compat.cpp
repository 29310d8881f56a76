#include "page_compat/popup_compat.h"

#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace ruzez {

namespace {

constexpr int kSmallestSide = 100;

} // namespace

QRect popupPageArea(const QRect &pageArea, const QRect &available, const QMargins &frame)
{
    const QRect inside = available.marginsRemoved(frame);
    const int width = std::max(kSmallestSide, std::min(pageArea.width(), inside.width()));
    const int height = std::max(kSmallestSide, std::min(pageArea.height(), inside.height()));
    const int left = std::max(inside.left(), std::min(pageArea.left(), inside.left() + inside.width() - width));
    const int top = std::max(inside.top(), std::min(pageArea.top(), inside.top() + inside.height() - height));
    return QRect(left, top, width, height);
}

PopupCompat::PopupCompat(QWebEngineView *window, PrintSetup printSetup)
    : QObject(window)
    , m_window(window)
    , m_printSetup(std::move(printSetup))
{
    if (!m_printSetup) {
        m_printSetup = [this](QPrinter &printer) {
            QPrintDialog dialog(&printer, m_window);
            return dialog.exec() == QDialog::Accepted;
        };
    }
    connect(window->page(), &QWebEnginePage::geometryChangeRequested, this,
            &PopupCompat::onGeometryChangeRequested);
    connect(window->page(), &QWebEnginePage::printRequested, this, &PopupCompat::onPrintRequested);
    connect(window->page(), &QWebEnginePage::pdfPrintingFinished, this, &PopupCompat::onPrintDone);
    connect(window, &QWebEngineView::printFinished, this, &PopupCompat::onPrintDone);
}

PopupCompat::~PopupCompat() = default;

// The first request carries window.open's features, which size the page
// area; resizeTo, moveTo and the like size and place the whole window.
void PopupCompat::onGeometryChangeRequested(const QRect &requested)
{
    const QScreen *screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QWindow *handle = m_window->windowHandle();
    const QMargins frame = handle ? handle->frameMargins() : QMargins();
    const QRect pageArea = std::exchange(m_featuresApplied, true) ? requested.marginsRemoved(frame) : requested;
    m_window->setGeometry(popupPageArea(pageArea, screen->availableGeometry(), frame));
}

// As "Imprimer" does: a printer writing a PDF file gets the engine's PDF,
// any other the pages drawn on it; one job at a time.
void PopupCompat::onPrintRequested()
{
    if (m_printer)
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_printSetup(*printer))
        return;
    m_printer = std::move(printer);
    if (m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty())
        m_window->page()->printToPdf(m_printer->outputFileName(), m_printer->pageLayout());
    else
        m_window->print(m_printer.get());
}

void PopupCompat::onPrintDone()
{
    m_printer.reset();
}

} // namespace ruzez
