#pragma once

// Yearly re-arming of birthdays and name days.
namespace oxi {

// Once per calendar year (setting "Init"/"Annee"): every used due date of a
// birthday or name day moves one year forward and its flag is cleared; a date
// that cannot be read is left as it was; notes are never touched. The rows and
// the stored year change together or not at all: when either cannot be written,
// both stay as they were, the user is told, and the next start tries again.
// True when nothing was left to do or the year was re-armed.
bool RearmeEcheances();

} // namespace oxi
