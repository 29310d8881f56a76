#include "browser/page_zoom.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QWebEngineView>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace ruzez {

namespace {

// The steps browsers have taught pupils to expect.
constexpr std::array<qreal, 13> kSteps{0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                        1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
constexpr int kNotch = 120;
const QString kKey = QStringLiteral("page/zoom");

// The view showing pages that `widget` is, or is part of.
QWebEngineView *viewOf(QObject *object)
{
    for (; object; object = object->parent()) {
        if (auto *view = qobject_cast<QWebEngineView *>(object))
            return view;
        if (object->isWidgetType() && static_cast<QWidget *>(object)->isWindow())
            return nullptr;
    }
    return nullptr;
}

bool showsPages(QObject *object)
{
    if (!object->isWidgetType())
        return false;
    const QWidget *window = static_cast<QWidget *>(object)->window();
    return viewOf(object) || window->findChild<QWebEngineView *>();
}

enum class Step { None, In, Out, Reset };

Step keyStep(const QKeyEvent &key)
{
    if (!(key.modifiers() & Qt::ControlModifier))
        return Step::None;
    switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return Step::In;
    case Qt::Key_Minus:
        return Step::Out;
    case Qt::Key_0:
        return Step::Reset;
    default:
        return Step::None;
    }
}

} // namespace

PageZoom::PageZoom(QString settingsFile, QObject *parent)
    : QObject(parent)
    , m_settingsFile(std::move(settingsFile))
{
    const QSettings settings(m_settingsFile, QSettings::IniFormat);
    bool number = false;
    const qreal stored = settings.value(kKey).toDouble(&number);
    // A value that is not a zoom (edited by hand, cut short) means 100 %.
    if (number && std::isfinite(stored) && stored >= kMinimum && stored <= kMaximum)
        m_factor = stored;
    qApp->installEventFilter(this);
}

PageZoom::~PageZoom() = default;

void PageZoom::zoomIn()
{
    const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), m_factor + 0.001);
    setFactor(next == kSteps.end() ? kMaximum : *next);
}

void PageZoom::zoomOut()
{
    const auto next = std::lower_bound(kSteps.begin(), kSteps.end(), m_factor - 0.001);
    setFactor(next == kSteps.begin() ? kMinimum : *(next - 1));
}

void PageZoom::reset()
{
    setFactor(1.0);
}

void PageZoom::setFactor(qreal factor)
{
    if (qFuzzyCompare(factor, m_factor))
        return;
    m_factor = factor;
    const QList<QWidget *> widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        if (auto *view = qobject_cast<QWebEngineView *>(widget))
            apply(view, m_factor);
    }
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.setValue(kKey, m_factor);
    emit changed(m_factor);
}

void PageZoom::apply(QWebEngineView *view, qreal factor)
{
    if (view->page() && !qFuzzyCompare(view->zoomFactor(), factor))
        view->setZoomFactor(factor);
}

bool PageZoom::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        // Every view takes the zoom as it appears: the main one, pop-ups.
        if (auto *view = qobject_cast<QWebEngineView *>(watched))
            apply(view, m_factor);
        break;
    case QEvent::KeyPress: {
        const Step step = keyStep(*static_cast<QKeyEvent *>(event));
        if (step == Step::None || !showsPages(watched))
            break;
        if (step == Step::In)
            zoomIn();
        else if (step == Step::Out)
            zoomOut();
        else
            reset();
        return true;
    }
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || !viewOf(watched))
            break;
        // The engine would zoom in its own steps, unremembered. A notch of
        // the wheel is one step; a touchpad's small turns add up to one.
        m_wheel += wheel->angleDelta().y();
        for (; m_wheel >= kNotch; m_wheel -= kNotch)
            zoomIn();
        for (; m_wheel <= -kNotch; m_wheel += kNotch)
            zoomOut();
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ruzez
