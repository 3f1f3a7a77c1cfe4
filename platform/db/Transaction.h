#pragma once
// One transaction on a connection: begun on construction, committed by commit(), rolled back
// by the destructor otherwise. The statements between run on the same connection as usual; a
// unit of work that must be stored whole or not at all (one project of an import or a merge)
// holds one of these, with its project's lock taken first.
#include <QtGlobal>

namespace brevant::db {

class Connection;

class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // True while the transaction is open. The engine ends a transaction by itself after some
    // failures (disk full, I/O error); a caller that carries on past a failed statement checks
    // this first, so that later statements never commit one by one.
    bool active() const;
    // Holds the lock of one project until the transaction ends, so that two clients sharing a
    // store never work on the same project at once. Nothing to do for an SQLite file, whose
    // transactions already hold its one write lock. Throws DbError when the transaction is no
    // longer open.
    void lockProject(qint64 jobId);
    // Throws DbError when the transaction is no longer open or the commit fails.
    void commit();
    void rollback();

private:
    Connection& connection_;
    bool open_ = true;
};

} // namespace brevant::db
