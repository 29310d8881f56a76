#include "browser/context_menu.h"

#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace ruzez {

namespace {

using Request = QWebEngineContextMenuRequest;

// Each command is the engine's own action under our French name.
void addPageAction(QMenu &menu, QWebEnginePage *page, QWebEnginePage::WebAction action,
                   const QString &text, bool enabled = true)
{
    QAction *entry = menu.addAction(text);
    entry->setEnabled(enabled);
    QObject::connect(entry, &QAction::triggered, page,
                     [page, action] { page->triggerAction(action); });
}

} // namespace

PageContextMenu::PageContextMenu(QWebEngineView *view, PrintCommand print)
    : QObject(view)
    , m_view(view)
    , m_print(std::move(print))
{
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &PageContextMenu::show);
}

void PageContextMenu::show(const QPoint &position)
{
    const Request *request = m_view->lastContextMenuRequest();
    if (!request)
        return;
    std::unique_ptr<QMenu> menu = menuFor(*request);
    if (menu->isEmpty())
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu.release()->popup(m_view->mapToGlobal(position));
}

std::unique_ptr<QMenu> PageContextMenu::menuFor(const Request &request) const
{
    auto menu = std::make_unique<QMenu>(m_view);
    QWebEnginePage *page = m_view->page();
    const auto edit = request.editFlags();

    if (request.isContentEditable()) {
        addPageAction(*menu, page, QWebEnginePage::Undo, QStringLiteral("Annuler"),
                      edit.testFlag(Request::CanUndo));
        menu->addSeparator();
        addPageAction(*menu, page, QWebEnginePage::Cut, QStringLiteral("Couper"),
                      edit.testFlag(Request::CanCut));
        addPageAction(*menu, page, QWebEnginePage::Copy, QStringLiteral("Copier"),
                      edit.testFlag(Request::CanCopy));
        addPageAction(*menu, page, QWebEnginePage::Paste, QStringLiteral("Coller"),
                      edit.testFlag(Request::CanPaste));
        addPageAction(*menu, page, QWebEnginePage::SelectAll, QStringLiteral("Tout sélectionner"),
                      edit.testFlag(Request::CanSelectAll));
        return menu;
    }

    // A link opens where a click on it would; no other window is offered.
    if (request.linkUrl().isValid()) {
        addPageAction(*menu, page, QWebEnginePage::OpenLinkInThisWindow,
                      QStringLiteral("Ouvrir le lien"));
        addPageAction(*menu, page, QWebEnginePage::CopyLinkToClipboard,
                      QStringLiteral("Copier l'adresse du lien"));
    }
    if (request.mediaType() == Request::MediaTypeImage && request.mediaUrl().isValid()) {
        if (!menu->isEmpty())
            menu->addSeparator();
        addPageAction(*menu, page, QWebEnginePage::CopyImageToClipboard,
                      QStringLiteral("Copier l'image"));
    }
    if (!request.selectedText().isEmpty()) {
        if (!menu->isEmpty())
            menu->addSeparator();
        addPageAction(*menu, page, QWebEnginePage::Copy, QStringLiteral("Copier"));
    }
    if (!menu->isEmpty())
        return menu;

    addPageAction(*menu, page, QWebEnginePage::Back, QStringLiteral("Précédent"),
                  page->history()->canGoBack());
    addPageAction(*menu, page, QWebEnginePage::Forward, QStringLiteral("Suivant"),
                  page->history()->canGoForward());
    addPageAction(*menu, page, QWebEnginePage::Reload, QStringLiteral("Actualiser"));
    menu->addSeparator();
    addPageAction(*menu, page, QWebEnginePage::SelectAll, QStringLiteral("Tout sélectionner"));
    if (m_print) {
        QAction *print = menu->addAction(QStringLiteral("Imprimer..."));
        connect(print, &QAction::triggered, this, [this] { m_print(); });
    }
    return menu;
}

} // namespace ruzez
