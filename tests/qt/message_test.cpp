// Message boxes: caption and text exactly as given, one OK button, and the
// detection messages of machines the program cannot serve, in their order.
#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "launch/machine_choice.h"
#include "qt/qt_program.h"
#include "qt/qt_shell.h"
#include "sim_window.h"
#include "test_classes.h"

namespace vc::qt::test {

enum class MachineKind { ThisComputer, Simulated };

class MessageTests : public QObject {
    Q_OBJECT

private:
    QTemporaryDir runtime_;

    // Runs the whole program as velocore-sim would, with the single-copy
    // counter and the autostart folder kept in a scratch directory.
    int RunProgramOn(MachineKind kind, const std::string& machine, std::vector<Message>& messages) {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", runtime_.path().toUtf8());
        QtShell shell;
        AnswerAndRecord(shell, messages);
        SimOptions options;
        options.machine = machine;
        std::string error;
        const auto chosen = kind == MachineKind::ThisComputer
                                ? launch::ThisComputer()
                                : launch::ChooseMachine(machine, {VC_SOURCE_DIR "/machines"}, error);
        if (!chosen) return -1;
        return RunDesktopProgram(*chosen, options, shell);
    }

private slots:
    void boxShowsCaptionAndTextExactly_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Message" << "ScanBiosInfo fail";
        QTest::newRow("trailing line feed") << "Error" << "CGInfo.dat not found\n";
        QTest::newRow("looks like markup") << "Message" << "<b>bold</b> & <i>not</i>";
    }
    void boxShowsCaptionAndTextExactly() {
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QtShell shell;
        int boxes = 0;
        shell.SetAnswerer([&](QMessageBox& box) {
            ++boxes;
            QCOMPARE(box.windowTitle(), caption);
            QCOMPARE(box.text(), text);
            QCOMPARE(box.textFormat(), Qt::PlainText);
            QCOMPARE(box.buttons().size(), 1);
            QVERIFY(box.button(QMessageBox::Ok));
            QVERIFY(!box.parentWidget());
            QVERIFY(box.isModal());
            box.button(QMessageBox::Ok)->click();
        });
        shell.ShowMessage(caption.toStdString(), text.toStdString());
        QCOMPARE(boxes, 1);
    }

    void unsupportedProcessorShowsThreeMessagesAndEnds() {
        std::vector<Message> messages;
        QCOMPARE(RunProgramOn(MachineKind::Simulated, "unsupported-multiplier", messages), 0);
        QCOMPARE(messages, (std::vector<Message>{{"Message", "CPUMultiValue fail"},
                                                 {"Message", "Sorry!! We don't support this CPU"},
                                                 {"Message", "Sorry!! We didn't support this mainboard."}}));
    }

    void unservedSystemShowsTheBoardMessagesAndEnds() {
        std::vector<Message> messages;
        QCOMPARE(RunProgramOn(MachineKind::Simulated, "other-os", messages), 0);
        QCOMPARE(messages, (std::vector<Message>{{"Message", "ScanBiosInfo fail"},
                                                 {"Message", "Sorry!! We didn't support this mainboard."}}));
    }

    // This computer offers no port driver, so no board is recognised.
    void thisComputerEndsAfterTheDetectionMessages() {
        std::vector<Message> messages;
        QCOMPARE(RunProgramOn(MachineKind::ThisComputer, "", messages), 0);
        QVERIFY(!messages.empty());
        QCOMPARE(messages.back(), (Message{"Message", "Sorry!! We didn't support this mainboard."}));
        for (const Message& m : messages) QCOMPARE(m.first, std::string("Message"));
    }
};

QObject* MakeMessageTests() { return new MessageTests; }

}  // namespace vc::qt::test

#include "message_test.moc"
