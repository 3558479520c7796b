// Runs every test class of the desktop shell in one QApplication.
#include <memory>

#include <QApplication>
#include <QTest>

#include "test_classes.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    int failed = 0;
    for (auto make : vc::qt::test::kTestClasses) {
        std::unique_ptr<QObject> tests(make());
        failed += QTest::qExec(tests.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
