#include "tests/x11/AppFixture.h"

#include "runtime/qt/Application.h"

namespace vantorel::test {

int runX11Tests(int argc, char** argv)
{
    const auto app = qt::startApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace vantorel::test
