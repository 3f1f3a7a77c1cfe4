#pragma once
// The exports without a window, for scripted use (a firm publishing its bid calendar to a
// shared folder every morning): the same database, the same files as the File menu writes.
// Messages go through the installed Ui (the console one in command-line mode).
#include <QString>
#include <QTextStream>
#include <optional>
#include <vector>

namespace brevant::shell {

// "12,34" (blanks allowed); nullopt when a piece is not a whole positive number.
std::optional<std::vector<int>> ParseJobList(const QString& text);

// Writes the bid calendar of the given projects (every tracked project when empty) to path.
// Prints the closing message to out; returns 0, or 1 after printing the reason to err.
int ExportCalendarCommand(const QString& path, const std::vector<int>& jobIds, QTextStream& out,
                          QTextStream& err);

// Writes the project list of a View filter ("ALL", "NEW", "TRACK", "VIEW"; any case) in the
// list's default order as CSV. Returns 0, or 1 after printing the reason to err.
int ExportListCommand(const QString& path, const QString& filter, QTextStream& out,
                      QTextStream& err);

} // namespace brevant::shell
