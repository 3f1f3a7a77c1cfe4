#include "platform/db/DbError.h"

namespace brevant::db {

DbError::DbError(long number, const QString& description, Condition condition, int nativeCode)
    : std::runtime_error(description.toStdString()), number_(number), description_(description),
      condition_(condition), nativeCode_(nativeCode) {}

} // namespace brevant::db
