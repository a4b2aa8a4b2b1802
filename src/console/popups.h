// The pop-ups of the key wait and their registration, for start-up:
//   console::SetHotKeyHooks(console::ShowCalculator, console::ShowCalendar);
#pragma once

#include "console/calculator.h"
#include "console/calendar.h"
#include "console/keyboard.h"
