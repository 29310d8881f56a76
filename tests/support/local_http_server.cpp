#include "local_http_server.h"

#include <QTcpSocket>

namespace ruzez::test {

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LocalHttpServer::answer(QTcpSocket *socket)
{
    const QByteArray request = socket->readAll();
    if (!request.contains("\r\n\r\n") && !request.contains("\n\n"))
        return; // headers still coming
    if (request.startsWith("GET /never "))
        return;
    QByteArray body;
    QByteArray status = "404 Not Found";
    if (request.startsWith("GET /page.html ")) {
        status = "200 OK";
        body = "<html><head><meta charset=\"utf-8\"><title>Servie</title></head>"
               "<body>Une page servie sur la machine.</body></html>";
    }
    socket->write("HTTP/1.0 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

} // namespace ruzez::test
