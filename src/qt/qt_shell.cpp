#include "qt/qt_shell.h"

#include <cstdio>
#include <cstdlib>

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace vc::qt {

void QtShell::ShowMessage(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok);
    // The text is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (answerer_) {
        QPointer<QMessageBox> shown(&box);
        QTimer::singleShot(0, &box, [this, shown] {
            if (shown) answerer_(*shown);
        });
    }
    box.exec();
}

void QtShell::EndProcess(int exitCode) {
    std::fflush(nullptr);
    std::exit(exitCode);
}

}  // namespace vc::qt
