// A seam for the kill tests: with QV_UPGRADE_KILL_AT=n in the environment the host ends
// itself with SIGKILL at its n-th kill point (after each record written and at every step
// of placing the new file), so a test can cut a conversion short at a chosen, repeatable
// moment. Without the variable the points cost nothing but a counter.
#pragma once

// Counts one kill point; dies here when it is the chosen one.
void UpgradeKillPoint();
// Kill points passed so far (the tests pick their points from a full run's count).
long UpgradeKillPointsPassed();
