#pragma once
// The file "Open Document" opens for a project's first attachment row of a name: the copy in
// the project folder, or, on a firm store, this PC's cached copy of the stored bytes (fetched
// when missing). Empty when the project lists no such row.
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "store/AttachmentCache.h"
#include "store/Attachments.h"

#include <QFile>
#include <gtest/gtest.h>

namespace teststore {

// A file the user picks to attach: written as dir/picked/name with content.
inline QString pickedFile(const QString& dir, const QString& name, const QByteArray& content) {
    const QString path = dir + "/picked/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

inline QString openedAttachment(brevant::db::Connection& connection, const QString& cache,
                                int jobId, const QString& name) {
    for (const brevant::store::AttachmentRow& row :
         brevant::store::LoadAttachments(connection, jobId))
        if (row.fileName == name)
            return onPostgreSql() ? brevant::store::EnsureCachedAttachment(connection, cache,
                                                                           row.content, name)
                                  : brevant::store::AttachmentFile(cache, jobId, name);
    return {};
}

inline QByteArray openedAttachmentBytes(brevant::db::Connection& connection, const QString& cache,
                                        int jobId, const QString& name) {
    QFile f(openedAttachment(connection, cache, jobId, name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace teststore
