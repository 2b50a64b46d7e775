#pragma once
// XML property lists: the design file and the e-mail settings are stored in
// this format.
//
// Values: QVariantMap (dict), QVariantList or QStringList (array), QString
// (string), integers (integer; read back as qint64), double (real), bool
// (true/false), QByteArray (data, base64), QDateTime (date, UTC to the
// second).

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

namespace platform {

// The document for `root`, UTF-8. Empty when the tree holds a value of
// another type (nothing half-written is returned).
QByteArray writePropertyList(const QVariant &root);

// The root value, or nullopt (with the reason in `error`) for damaged,
// truncated or non-property-list input.
std::optional<QVariant> readPropertyList(const QByteArray &xml, QString *error = nullptr);

} // namespace platform
