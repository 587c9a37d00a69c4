#pragma once

#include <QString>

#include "export/timeline_sheet.h"
#include "platform/screen_layout.h"

namespace qev {

// Prints the whole timeline of `source` at its range, laid out for the
// screen `layout`, into `path`: A4 landscape pages for a name ending in
// ".pdf", one wide picture for ".png". Returns what went wrong, in words
// for the user; empty when the file was written.
QString ExportTimeline(const SheetSource& source, const ScreenLayout& layout, const QString& path);

}  // namespace qev
