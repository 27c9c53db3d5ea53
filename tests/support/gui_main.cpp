// The GUI tests' main: a QApplication on the offscreen platform (unless the caller chose
// another, e.g. xcb under Xvfb), and one fixed locale so numbers and texts never depend on
// the machine running the tests.
#include <clocale>

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; a test run as root often has none.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    ::testing::InitGoogleTest(&argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlemark"));
    // QApplication takes the environment's locale; the tests use one fixed locale instead.
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return RUN_ALL_TESTS();
}
