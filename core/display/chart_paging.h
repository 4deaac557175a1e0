#pragma once

#include <cstdint>
#include <optional>

#include "display/chart_page.h"
#include "log/reading_log.h"

namespace tarvo {

// Ways through the log beside the chart's scrollbar: the wheel and Page Up or
// Page Down move a whole page, and a reading chosen elsewhere (a grid row, the
// overview) is shown on a page of its own run.
enum class PageStep { Earlier, Later };

// The page before or after the one shown. Later starts just after the shown
// page and Earlier ends just before it, so a step back undoes a step on within
// a run; both stop at the run's edge as the chart's pages always do. nullopt
// at either end of the log or when no page is shown.
std::optional<ChartRequest> neighbour_page(const PageBounds& shown, std::int64_t count,
                                           PageStep step);

// A page that holds record n with up to 99 records of its run before it, so the
// reading stands near the middle and its neighbours are in sight.
ChartRequest page_around(const ReadingLog& log, std::int64_t n);

// Where the scrollbar's thumb stands for a page the user reached without it:
// position P stands for the records up to P, so the thumb marks the page's
// last record, held within the scrollbar's range.
std::int32_t chart_thumb_for(const PageBounds& shown, std::int64_t count);

}  // namespace tarvo
