// main() of the end-to-end test programs: screenshots of failures, the "--chinese"
// switch of the run under LC_ALL=zh_TW.UTF-8 (see e2e::ChineseRun) and "--road=<version>"
// (see road.h).
#include <gtest/gtest.h>

#include <string.h>

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
    return RUN_ALL_TESTS();
}
