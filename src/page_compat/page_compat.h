#pragma once

class QWebEngineProfile;

namespace ruzez {

// Gives every page of a profile the compatibility script
// (compat_script.h), in every frame, until destroyed.
class PageCompat
{
public:
    explicit PageCompat(QWebEngineProfile *profile);
    ~PageCompat();
    PageCompat(const PageCompat &) = delete;
    PageCompat &operator=(const PageCompat &) = delete;

private:
    QWebEngineProfile *m_profile;
};

} // namespace ruzez
