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

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and complains about any other.
        const std::string runtime = "/tmp/tise-runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
#ifdef TISE_TEST_WIDGETS
    QApplication::setQuitOnLastWindowClosed(false);
#endif
    return RUN_ALL_TESTS();
}
