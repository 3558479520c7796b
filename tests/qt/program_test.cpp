// The two programs as a user starts them: options, and the single running
// copy.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "host/process/instance_counter.h"
#include "qt/qt_program.h"
#include "test_classes.h"

namespace vc::qt::test {

class ProgramTests : public QObject {
    Q_OBJECT

private:
    static QProcessEnvironment Environment(const QString& runtime) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("XDG_CONFIG_HOME", runtime);
        return env;
    }

    static int Run(const QString& program, const QStringList& args, const QString& runtime, QByteArray* out = nullptr) {
        QProcess process;
        process.setProcessEnvironment(Environment(runtime));
        process.start(program, args);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        if (out) *out = process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

private slots:
    void simOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("machine");
        QTest::newRow("none") << QStringList{} << true << "default";
        QTest::newRow("name") << QStringList{"--machine", "win98-6bxd"} << true << "win98-6bxd";
        QTest::newRow("joined") << QStringList{"--machine=a/b.machine"} << true << "a/b.machine";
        QTest::newRow("missing value") << QStringList{"--machine"} << false << "";
        QTest::newRow("empty joined") << QStringList{"--machine="} << false << "";
        QTest::newRow("unknown") << QStringList{"--fast"} << false << "";
        QTest::newRow("trace") << QStringList{"--trace", "run.trace"} << true << "default";
        QTest::newRow("trace without file") << QStringList{"--trace"} << false << "";
    }
    void simOptions() {
        QFETCH(QStringList, args);
        QFETCH(bool, valid);
        QFETCH(QString, machine);
        std::vector<std::string> list;
        for (const QString& a : args) list.push_back(a.toStdString());
        SimOptions options;
        const auto error = ParseSimOptions(list, options);
        QCOMPARE(!error.has_value(), valid);
        if (valid) QCOMPARE(QString::fromStdString(options.machine), machine);
    }

    void secondCopyEndsAtOnceWithCodeOne_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("velocore-sim") << VC_VELOCORE_SIM_PATH;
        QTest::newRow("velocore") << VC_VELOCORE_PATH;
    }
    void secondCopyEndsAtOnceWithCodeOne() {
        QFETCH(QString, program);
        QTemporaryDir runtime;
        // A running copy, as far as the shared counter knows.
        host::InstanceCounter running(runtime.path().toStdString(), "velocore3-instance-" + std::to_string(::getuid()));
        QCOMPARE(running.Increment(), 0);
        QByteArray out;
        QCOMPARE(Run(program, {}, runtime.path(), &out), 1);
        QVERIFY2(out.isEmpty(), out.constData());
        // The refused copy does not take its count back, as the program
        // always has; the count starts afresh once no copy runs.
        QCOMPARE(running.Decrement(), 0);
    }

    void simulatedProgramPaintsItsFirstFrameAndEnds() {
        QTemporaryDir runtime;
        QByteArray out;
        QCOMPARE(Run(VC_VELOCORE_SIM_PATH, {"--quit-after-first-frame"}, runtime.path(), &out), 0);
        QVERIFY2(out.startsWith("first frame: "), out.constData());
    }

    void unknownMachineIsAUsageError() {
        QTemporaryDir runtime;
        QByteArray out;
        QCOMPARE(Run(VC_VELOCORE_SIM_PATH, {"--machine", "no-such-board"}, runtime.path(), &out), 2);
        QVERIFY2(out.contains("no-such-board"), out.constData());
    }
};

QObject* MakeProgramTests() { return new ProgramTests; }

}  // namespace vc::qt::test

#include "program_test.moc"
