// main() of the end-to-end test programs: screenshots of failures, and the
// "--chinese" switch of the run under LC_ALL=zh_TW.UTF-8 (see e2e::ChineseRun).
#include <gtest/gtest.h>

#include <string.h>

#include "e2esupport.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], "--chinese") == 0)
            e2e::SetChineseRun();
    e2e::KeepScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
