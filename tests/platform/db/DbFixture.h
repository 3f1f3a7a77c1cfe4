#pragma once
// A fresh Desktop.mdb with the schema in a temporary folder, opened by the connection string.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class DesktopDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        brevant::db::createDesktopDatabase(file());
        db.open(connectionString());
    }

    QString folder() const { return dir.path(); }
    QString file() const { return dir.filePath(QStringLiteral("Desktop.mdb")); }
    QString connectionString() const {
        QString f = folder();
        f.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + f +
               QStringLiteral("\\Desktop.mdb;Persist Security Info=False");
    }

    // Every row of a query, each field as text (dates as stored text), joined by '|'.
    QStringList rows(const QString& sql, const QStringList& fields) {
        brevant::db::Recordset rs;
        rs.open(sql, db, brevant::db::Recordset::Cursor::Static);
        QStringList out;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList row;
            for (const QString& f : fields) {
                const QVariant v = rs.field(f);
                if (v.isNull())
                    row << QStringLiteral("<null>");
                else if (v.typeId() == QMetaType::QDateTime)
                    row << v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                else
                    row << v.toString();
            }
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

    QVariant scalar(const QString& sql) {
        brevant::db::Recordset rs;
        rs.open(sql, db);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    QTemporaryDir dir;
    brevant::db::Connection db;
};
