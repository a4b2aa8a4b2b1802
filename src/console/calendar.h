// The calendar pop-up of Alt+C.
#pragma once

#include <string>

namespace console {

// Shows one quarter of a year at the right edge of the screen (rows 1 to
// 24, columns 59 to 80) with the working date highlighted; when WorkingDate
// holds no valid date (empty, or a month or day that does not exist) the
// calendar starts on today's date.  Arrows move the highlight by a day or a
// week, Page Up and Page Down by a quarter (the day clamped to the new
// month), Home and End to January and December (the day kept); moves that
// would leave the years 1 to 9999 are ignored.  F, f or Alt+F return the
// highlighted date as FormatDate writes it with style 0 and parts "dma"
// (the short numeric form, padded to its fixed width); Escape returns the
// empty text.  Other keys and clicks are ignored.  The screen, the colour,
// the cursor and the caller's exit keys are as before when it returns.
std::string ShowCalendar();

}  // namespace console
