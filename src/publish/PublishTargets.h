#pragma once

#include "corekit/Refusal.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

namespace ambrel {

// Where a project is published: remembered per project Id in the data folder, so that later publishes go
// straight there. Never the password.
struct PublishTarget {
    QUrl server; // the address the person gave
    QString user;
    QUrl calendar;
};

std::optional<PublishTarget> loadPublishTarget(const QString &folder, const QString &projectId);
std::optional<Refusal> savePublishTarget(
    const QString &folder, const QString &projectId, const PublishTarget &target);

// The certificates the person chose to trust, by host: SHA-256 fingerprints as TlsProblem gives them.
QHash<QString, QSet<QByteArray>> loadTrustedCertificates(const QString &folder);
std::optional<Refusal> saveTrustedCertificate(
    const QString &folder, const QString &host, const QByteArray &fingerprint);

} // namespace ambrel
