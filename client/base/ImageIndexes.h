#pragma once
// The numbers of the pictures in the main window's two image lists (share/brevant/Graphics/
// ImageList1 and ImageList2, one file per number).
#include <QString>

namespace brevant::base {

// ImageList1: the toolbar, the project list's row markers and its header sort arrows.
namespace images1 {
constexpr int SortDescending = 1;
constexpr int SortAscending = 2;
constexpr int Find = 7;
constexpr int UpdatedNothingNew = 14;
constexpr int UpdatedWithNewItems = 15;
constexpr int Print = 18;
constexpr int Delete = 20;
constexpr int Email = 21;
constexpr int Tagged = 23;
constexpr int New = 24;
constexpr int Opened = 25;
constexpr int Download = 27;
constexpr int AllProjects = 31;
} // namespace images1

// ImageList2: the document lists (1 not in the cache, 2 in the cache) and the attachment list.
namespace images2 {
constexpr int NotInCache = 1;
constexpr int InCache = 2;
constexpr int GenericFile = 12;
} // namespace images2

// The attachment picture for a file type ("DOC", "XLS", "PDF", "TXT", "RTF", "CSV", "LOG",
// "HTM", "HTML", compared without regard to case); GenericFile for any other.
int AttachmentImage(const QString& type);

} // namespace brevant::base
