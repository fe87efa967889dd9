#pragma once

namespace oxi {

// Moves the due dates of birthdays and name days one year forward, once per calendar year.
void RearmeEcheances();

} // namespace oxi
