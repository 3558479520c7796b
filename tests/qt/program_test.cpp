// The two programs as a user starts them: options, and the single running
// copy.
#include <csignal>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"
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

    // A termination signal within the minute after an automatic start (a
    // logout, a service manager, Ctrl+C) ends the program in order: exit
    // code 0, no start-up record left, and the next start applies again.
    void terminationSignalEndsInOrder_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void terminationSignalEndsInOrder() {
        QFETCH(int, signal);
        QTemporaryDir runtime;
        // A build-folder copy of its own keeps its state files beside it.
        QTemporaryDir app;
        const QDir bin(VC_BIN_DIR);
        QVERIFY(QFile::copy(VC_VELOCORE_SIM_PATH, app.filePath("velocore-sim")));
        for (const char* name : {"MBInfo.dat", "CGInfo.dat"}) QVERIFY(QFile::copy(bin.filePath(name), app.filePath(name)));
        QVERIFY(QDir(app.path()).mkdir("resources"));
        for (const QString& picture : QDir(bin.filePath("resources")).entryList({"*.bmp"}))
            QVERIFY(QFile::copy(bin.filePath("resources/" + picture), app.filePath("resources/" + picture)));
        const std::string where = app.path().toStdString();
        QCOMPARE(WriteAutoApplySettings(where, AutoApplySettings{kAutoApplyYes, kAutoApplySourceOptimal}), 1);
        for (int start = 1; start <= 2; ++start) {
            QProcess process;
            process.setProcessEnvironment(Environment(runtime.path()));
            process.start(app.filePath("velocore-sim"), {});
            QTRY_VERIFY_WITH_TIMEOUT(ReadPendingStartup(where).present, 20000);
            QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
            QVERIFY(process.waitForFinished(20000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 0);
            QVERIFY2(!ReadPendingStartup(where).present, qPrintable(QString("start %1").arg(start)));
        }
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
