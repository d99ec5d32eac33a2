// The GoogleTest programs' entry. Built twice: with an application object for the layers
// whose tests show widgets, and with a core application object (PELM_TEST_CORE_APP) for the
// layers that must work without one.
#include <gtest/gtest.h>

#ifdef PELM_TEST_CORE_APP
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#else
#include <QApplication>
using TTestApplication = QApplication;
#endif

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TTestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
