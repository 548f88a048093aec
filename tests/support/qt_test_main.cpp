// The main function of test programs that need Qt: fonts and images need a
// QGuiApplication (text calls abort without one), windows a QApplication
// (built with TISE_TEST_WIDGETS). Without a display the offscreen platform
// stands in.

#ifdef TISE_TEST_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QGuiApplication>
using Application = QGuiApplication;
#endif

#include "gfx/qt_environment.h"

#include <gtest/gtest.h>


int main(int argc, char** argv)
{
    gfx::prepareQtEnvironment(true);
    testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
#ifdef TISE_TEST_WIDGETS
    QApplication::setQuitOnLastWindowClosed(false);
#endif
    return RUN_ALL_TESTS();
}
