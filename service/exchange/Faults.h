#pragma once
// The damage the fault switches do to documents and archive entries.
#include <QByteArray>
#include <QString>

namespace brevant::service {

// The document cut off inside an element, so that no parser accepts it.
QByteArray breakXml(const QByteArray& xml);

// An entry name that tries to leave the folder it is extracted into; the way it tries varies
// with index (parent folder, absolute path, backslash path, nested parent).
QString hostileEntryName(const QString& name, int index);

} // namespace brevant::service
