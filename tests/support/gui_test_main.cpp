// The main function of test programs that need Qt's fonts or images: text
// calls abort without a QGuiApplication. Without a display the offscreen
// platform stands in.

#include <QGuiApplication>

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
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
