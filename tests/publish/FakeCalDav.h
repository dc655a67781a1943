#pragma once

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

// Asks the fake server (fake_caldav.py) to add a fault (/_fault), heal (/_heal), retag (/_retag), or tell the
// requests it got (/_log).
inline QByteArray fakeServerControl(const QUrl &base, const QString &path, const QByteArray &json = "{}")
{
    QNetworkAccessManager network;
    QNetworkRequest request(base.resolved(QUrl(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply *reply
        = path == QLatin1String("/_log") ? network.get(request) : network.post(request, json);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    return reply->readAll();
}
