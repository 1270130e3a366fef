// The program's own start and end (runProgram), in a process of its own, over a reader
// library whose OpenComm starts a receive thread: Connect, then the Close button or the close
// box, or the close box during a Connect whose library runs the program's events, and the
// process must end normally with exit status 0. The test is not linked to the reader library,
// so that the program's binding alone holds it, as in the program.
#include "qt/program.h"
#include "simreader/sim_log.h"
#include "simreader/sim_log_files.h"

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// In the child: what the operator does once the window shows. TAGWRIGHT_END says how the
// program is ended: "button" or "box" after Connect, or "box during" Connect, which a library
// that runs the program's events inside its calls lets through while OpenComm is inside.
void connectThenEnd(QWidget *window)
{
    QTimer::singleShot(0, window, [window] {
        window->findChild<QComboBox *>(u"cboComPort"_qs)->setCurrentIndex(0);
        if (qEnvironmentVariable("TAGWRIGHT_END") == u"box during") {
            QTimer::singleShot(0, window, [window] { window->windowHandle()->close(); });
            window->findChild<QPushButton *>(u"Open"_qs)->click();
            return;
        }
        window->findChild<QPushButton *>(u"Open"_qs)->click();
        if (qEnvironmentVariable("TAGWRIGHT_END") == u"box")
            window->windowHandle()->close();
        else
            window->findChild<QPushButton *>(u"cmdClose"_qs)->click();
    });
}

} // namespace

class ProgramEndTest : public QObject
{
    Q_OBJECT

private slots:
    void endsCleanlyWithTheReaderThreadRunning_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QByteArray>("faults");
        QTest::addColumn<int>("closeComms");
        QTest::newRow("Close button, no CloseComm") << u"button"_qs << QByteArray("thread") << 0;
        QTest::newRow("close box, one CloseComm") << u"box"_qs << QByteArray("thread") << 1;
        // The close box waits for OpenComm, which runs GLib's main context, and so Qt's
        // events, for 300 ms before it answers.
        QTest::newRow("close box during Connect")
            << u"box during"_qs << QByteArray("thread pump 300") << 1;
    }

    void endsCleanlyWithTheReaderThreadRunning()
    {
        QFETCH(QString, end);
        QFETCH(QByteArray, faults);
        QFETCH(int, closeComms);
        QTemporaryDir folder;
        QFile faultFile(folder.filePath(u"faults"_qs));
        QVERIFY(faultFile.open(QIODevice::WriteOnly) && faultFile.write(faults) > 0);
        faultFile.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TAGWRIGHT_SIM_FAULTS"_qs, faultFile.fileName());
        environment.insert(u"TAGWRIGHT_SIM_LOG"_qs, folder.filePath(u"log"_qs));
        environment.insert(u"TAGWRIGHT_END"_qs, end);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QCoreApplication::applicationFilePath());
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit); // not killed by a signal
        QCOMPARE(program.exitCode(), 0);

        std::vector<SimCall> calls;
        QFile log(folder.filePath(u"log"_qs));
        QVERIFY(log.open(QIODevice::ReadOnly));
        while (!log.atEnd())
            calls.push_back(simLoggedCall(log.readLine().toStdString()));
        QVERIFY(!calls.empty() && calls[0].result > 0); // Connect opened the link and its thread
        QCOMPARE(simCallsOf(SimCloseComm, calls), closeComms);
        QCOMPARE(simCallsOf(SimNestedCall, calls), 0);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("TAGWRIGHT_END"))
        return runProgram(argc, argv, connectThenEnd);
    QCoreApplication app(argc, argv);
    ProgramEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "program_end_test.moc"
