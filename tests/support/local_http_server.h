#pragma once

#include <QString>
#include <QTcpServer>

namespace ruzez::test {

// A tiny web server on 127.0.0.1 for the tests: "/page.html" answers a small
// page titled "Servie"; "/never" is accepted and never answered (a page that
// keeps loading); anything else is not found.
class LocalHttpServer : public QObject
{
    Q_OBJECT

public:
    LocalHttpServer();
    bool listening() const { return m_server.isListening(); }
    QString url(const QString &path) const;

private:
    void answer(QTcpSocket *socket);

    QTcpServer m_server;
};

} // namespace ruzez::test
