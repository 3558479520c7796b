// Runs every test class of the desktop shell in one QApplication.
// VC_QT_TESTS=Name runs only the classes whose name contains Name.
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QApplication>
#include <QTest>

#include "test_classes.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const char* only = std::getenv("VC_QT_TESTS");
    int failed = 0;
    for (auto make : vc::qt::test::kTestClasses) {
        std::unique_ptr<QObject> tests(make());
        if (only && *only && !std::strstr(tests->metaObject()->className(), only)) continue;
        failed += QTest::qExec(tests.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
