// Process-wide set-up shared by all test executables, and small facts about the test run.
#pragma once

#include <string>

namespace tmbtest {

void InitTestProcess();
void DoneTestProcess();

// "en-US" or "pt-BR": the regional settings this run of the executable was started with
// (CTest sets TOMBAREL_EXPECT_LOCALE beside LANG).
std::string ExpectedLocale();

} // namespace tmbtest
