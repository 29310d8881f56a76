#include "page_compat/page_compat.h"

#include "page_compat/compat_script.h"

#include <QWebEngineProfile>
#include <QWebEngineScriptCollection>

namespace ruzez {

PageCompat::PageCompat(QWebEngineProfile *profile)
    : m_profile(profile)
{
    m_profile->scripts()->insert(compatScript());
}

PageCompat::~PageCompat()
{
    const QList<QWebEngineScript> ours = m_profile->scripts()->find(kCompatScriptName);
    for (const QWebEngineScript &script : ours)
        m_profile->scripts()->remove(script);
}

} // namespace ruzez
