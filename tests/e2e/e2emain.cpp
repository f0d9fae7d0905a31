// main() of the end-to-end test programs: screenshots of failures, the "--chinese"
// switch of the run under LC_ALL=zh_TW.UTF-8 (see e2e::ChineseRun) and "--road=<version>"
// (see road.h).
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "e2esupport.h"
#include "road.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], "--chinese") == 0)
            e2e::SetChineseRun();
        else if (strncmp(argv[i], "--road=", 7) == 0)
            e2e::SetRoad(argv[i] + 7);
    e2e::KeepScreenshotsOfFailures();
    // The *_zh_TW run exists to run under the Taiwan system language: without it, or
    // with no Chinese scenario run in full, the run fails rather than passing empty.
    if (e2e::ChineseRun() && GetSystemDefaultLangID() != 0x0404) {
        fprintf(stderr, "--chinese: the system language is 0x%04X, not 0x0404 (LC_ALL=zh_TW.UTF-8 not set?)\n",
                GetSystemDefaultLangID());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    if (e2e::ChineseRun() && (run.successful_test_count() == 0 || run.skipped_test_count() != 0)) {
        fprintf(stderr, "--chinese: %d scenarios passed, %d skipped; every one must run\n",
                run.successful_test_count(), run.skipped_test_count());
        return 1;
    }
    return result;
}
