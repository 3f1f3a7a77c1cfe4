#pragma once
// A recordset shaped like the ADO one the client uses: open on Jet SQL over a connection,
// walk it with eof()/moveNext(), read fields by name (without regard to case) or ordinal,
// close and reopen. Rows are read in full when it opens, so an open recordset never holds the
// database (a shared recordset may stay open for the life of the program).
//
// Values: Null is a null QVariant; date columns give QDateTime (see formatDate in JetDate.h);
// yes/no columns give bool; whole numbers qlonglong; other numbers double; text QString.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace brevant::db {

class Connection;

class Recordset {
public:
    enum class Cursor {
        ForwardOnly, // recordCount() is -1, as with a forward-only cursor
        Static       // recordCount() is the number of rows
    };

    void open(const QString& jetSql, Connection& connection, Cursor cursor = Cursor::ForwardOnly);
    void close();
    bool isOpen() const { return open_; }

    bool eof() const;
    bool bof() const;
    void moveNext();
    void moveFirst();
    int recordCount() const;

    int fieldCount() const;
    QString fieldName(int index) const;
    bool hasField(const QString& name) const;
    // The value of the current row; throws DbError at BOF/EOF or for an unknown field.
    QVariant field(const QString& name) const;
    QVariant field(int index) const;

private:
    void requireOpen() const;
    int indexOf(const QString& name) const;

    bool open_ = false;
    Cursor cursor_ = Cursor::ForwardOnly;
    QStringList names_;
    std::vector<QVariantList> rows_;
    size_t pos_ = 0;
};

} // namespace brevant::db
